// SHA-256 from OpenSSL's libcrypto, as 64 lower-case hex digits.
#pragma once

#include <string>
#include <string_view>

namespace tonnage::store {

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void Add(std::string_view bytes);
  // The digest of everything added; the object is then spent.
  std::string HexDigest();

 private:
  void* ctx_;
};

std::string Sha256Hex(std::string_view bytes);
// The digest of a whole file; empty when it cannot be read.
std::string Sha256OfFile(const std::string& path);

inline constexpr std::size_t kHashLength = 64;

}  // namespace tonnage::store
