// Digests on Windows: CNG (bcrypt.dll) for SHA-256 and MD5, ntdll's
// RtlComputeCrc32 for CRC32; all of them ship with every Windows.
#include "core/Digest.h"

#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <algorithm>
#include <vector>

// Exported by ntdll.dll since Windows XP, declared in no SDK header. The
// usual CRC-32 (that of zlib and .sfv files), chained through `initial`.
extern "C" __declspec(dllimport) DWORD WINAPI
    RtlComputeCrc32(DWORD initial, const BYTE* data, INT length);

namespace tolvanix {
namespace {

// BCryptHashData takes a 32-bit count; a copy never hands more than a buffer.
constexpr size_t kMaxUpdate = size_t{1} << 30;

class CngHasher final : public Hasher {
 public:
  ~CngHasher() override {
    if (hash_) ::BCryptDestroyHash(hash_);
    if (algorithm_) ::BCryptCloseAlgorithmProvider(algorithm_, 0);
  }

  bool Open(const wchar_t* name) {
    DWORD length = 0;
    ULONG got = 0;
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm_, name, nullptr, 0)) ||
        !BCRYPT_SUCCESS(::BCryptGetProperty(algorithm_, BCRYPT_HASH_LENGTH,
                                            reinterpret_cast<PUCHAR>(&length), sizeof length, &got,
                                            0)))
      return false;
    digest_.resize(length);
    return Start();
  }

  void Update(const void* data, size_t n) override {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t done = 0; done < n;) {
      const size_t step = std::min(n - done, kMaxUpdate);
      ::BCryptHashData(hash_, const_cast<PUCHAR>(p + done), static_cast<ULONG>(step), 0);
      done += step;
    }
  }

  std::string HexDigest() override {
    ::BCryptFinishHash(hash_, digest_.data(), static_cast<ULONG>(digest_.size()), 0);
    Start();
    return HexOf(digest_.data(), digest_.size());
  }

 private:
  // A finished hash object cannot take more data: each digest gets a new one.
  bool Start() {
    if (hash_) ::BCryptDestroyHash(hash_);
    hash_ = nullptr;
    return BCRYPT_SUCCESS(::BCryptCreateHash(algorithm_, &hash_, nullptr, 0, nullptr, 0, 0));
  }

  BCRYPT_ALG_HANDLE algorithm_ = nullptr;
  BCRYPT_HASH_HANDLE hash_ = nullptr;
  std::vector<unsigned char> digest_;
};

class Crc32Hasher final : public Hasher {
 public:
  void Update(const void* data, size_t n) override {
    const auto* p = static_cast<const BYTE*>(data);
    for (size_t done = 0; done < n;) {
      const size_t step = std::min(n - done, kMaxUpdate);
      crc_ = ::RtlComputeCrc32(crc_, p + done, static_cast<INT>(step));
      done += step;
    }
  }
  std::string HexDigest() override {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(crc_ >> 24), static_cast<unsigned char>(crc_ >> 16),
        static_cast<unsigned char>(crc_ >> 8), static_cast<unsigned char>(crc_)};
    crc_ = 0;
    return HexOf(bytes, 4);
  }

 private:
  DWORD crc_ = 0;
};

}  // namespace

std::unique_ptr<Hasher> MakeHasher(HashKind kind) {
  if (kind == HashKind::Crc32) return std::make_unique<Crc32Hasher>();
  auto hasher = std::make_unique<CngHasher>();
  return hasher->Open(kind == HashKind::Md5 ? BCRYPT_MD5_ALGORITHM : BCRYPT_SHA256_ALGORITHM)
             ? std::move(hasher)
             : nullptr;
}

}  // namespace tolvanix
