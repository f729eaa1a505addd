// The overview's secrets: passwords kept only as a slow salted hash (PBKDF2 with HMAC-SHA-256
// from OpenSSL), session tokens from the system's random source, kept only as their SHA-256.
#pragma once

#include <string>

namespace kestrel::server {

// Enough rounds that a guess costs tens of milliseconds; stored with each hash, so it may rise.
inline constexpr int kPasswordIterations = 200000;

// Lower-case hex of `bytes` random bytes; empty when the random source fails.
std::string RandomHex(int bytes);
// Lower-case hex of PBKDF2-HMAC-SHA-256(password, salt text, iterations), 32 bytes.
std::string PasswordHash(const std::string& password, const std::string& salt, int iterations);
std::string Sha256Hex(const std::string& text);
// Compares two texts in a time that depends only on their lengths.
bool SameSecret(const std::string& a, const std::string& b);

}  // namespace kestrel::server
