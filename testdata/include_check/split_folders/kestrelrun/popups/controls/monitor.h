#pragma once

int Monitor();
