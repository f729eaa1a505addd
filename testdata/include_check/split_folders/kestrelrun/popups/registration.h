#pragma once

void Register();
