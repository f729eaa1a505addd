#pragma once
#include <string>
#include <vector>
namespace simtools {
class Profile {};
}  // namespace simtools
