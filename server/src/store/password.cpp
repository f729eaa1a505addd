#include "store/password.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <openssl/sha.h>

#include <vector>

namespace kestrel::server {
namespace {

std::string Hex(const unsigned char* bytes, std::size_t size) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

}  // namespace

std::string RandomHex(int bytes) {
  std::vector<unsigned char> raw(static_cast<std::size_t>(bytes));
  if (RAND_bytes(raw.data(), bytes) != 1) {
    return {};
  }
  return Hex(raw.data(), raw.size());
}

std::string PasswordHash(const std::string& password, const std::string& salt, int iterations) {
  unsigned char out[32];
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                        reinterpret_cast<const unsigned char*>(salt.data()),
                        static_cast<int>(salt.size()), iterations, EVP_sha256(), sizeof out,
                        out) != 1) {
    return {};
  }
  return Hex(out, sizeof out);
}

std::string Sha256Hex(const std::string& text) {
  unsigned char out[SHA256_DIGEST_LENGTH];
  SHA256(reinterpret_cast<const unsigned char*>(text.data()), text.size(), out);
  return Hex(out, sizeof out);
}

bool SameSecret(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CRYPTO_memcmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace kestrel::server
