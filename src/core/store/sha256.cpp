#include "store/sha256.h"

#include <openssl/evp.h>

#include <cstdio>
#include <vector>

namespace tonnage::store {

Sha256::Sha256() : ctx_(EVP_MD_CTX_new()) {
  if (ctx_) EVP_DigestInit_ex(static_cast<EVP_MD_CTX*>(ctx_), EVP_sha256(), nullptr);
}

Sha256::~Sha256() { EVP_MD_CTX_free(static_cast<EVP_MD_CTX*>(ctx_)); }

void Sha256::Add(std::string_view bytes) {
  if (ctx_) EVP_DigestUpdate(static_cast<EVP_MD_CTX*>(ctx_), bytes.data(), bytes.size());
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int n = 0;
  if (!ctx_ || EVP_DigestFinal_ex(static_cast<EVP_MD_CTX*>(ctx_), digest, &n) != 1) return {};
  static const char* kDigits = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * n);
  for (unsigned int i = 0; i < n; ++i) {
    hex += kDigits[digest[i] >> 4];
    hex += kDigits[digest[i] & 15];
  }
  return hex;
}

std::string Sha256Hex(std::string_view bytes) {
  Sha256 sha;
  sha.Add(bytes);
  return sha.HexDigest();
}

std::string Sha256OfFile(const std::string& path) {
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return {};
  Sha256 sha;
  std::vector<char> chunk(1 << 16);
  std::size_t n;
  while ((n = std::fread(chunk.data(), 1, chunk.size(), in)) > 0) sha.Add({chunk.data(), n});
  const bool bad = std::ferror(in) != 0;
  std::fclose(in);
  return bad ? std::string() : sha.HexDigest();
}

}  // namespace tonnage::store
