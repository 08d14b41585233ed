// Digests on Linux: libcrypto's EVP interface for SHA-256 and MD5 (with the
// processor's SHA instructions where it has them), zlib for CRC32.
#include "core/Digest.h"

#include <openssl/evp.h>
#include <zlib.h>

#include <algorithm>

namespace tolvanix {
namespace {

class EvpHasher final : public Hasher {
 public:
  explicit EvpHasher(const EVP_MD* md) : md_(md) {}
  bool Start() { return ctx_ && EVP_DigestInit_ex(ctx_.get(), md_, nullptr) == 1; }

  void Update(const void* data, size_t n) override { EVP_DigestUpdate(ctx_.get(), data, n); }

  std::string HexDigest() override {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(ctx_.get(), digest, &length);
    Start();
    return HexOf(digest, length);
  }

 private:
  struct Free {
    void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
  };
  const EVP_MD* md_;
  std::unique_ptr<EVP_MD_CTX, Free> ctx_{EVP_MD_CTX_new()};
};

class Crc32Hasher final : public Hasher {
 public:
  void Update(const void* data, size_t n) override {
    crc_ = crc32_z(crc_, static_cast<const Bytef*>(data), n);
  }
  std::string HexDigest() override {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(crc_ >> 24), static_cast<unsigned char>(crc_ >> 16),
        static_cast<unsigned char>(crc_ >> 8), static_cast<unsigned char>(crc_)};
    crc_ = crc32_z(0, nullptr, 0);
    return HexOf(bytes, 4);
  }

 private:
  uLong crc_ = crc32_z(0, nullptr, 0);
};

}  // namespace

std::unique_ptr<Hasher> MakeHasher(HashKind kind) {
  if (kind == HashKind::Crc32) return std::make_unique<Crc32Hasher>();
  auto hasher = std::make_unique<EvpHasher>(kind == HashKind::Md5 ? EVP_md5() : EVP_sha256());
  return hasher->Start() ? std::move(hasher) : nullptr;
}

}  // namespace tolvanix
