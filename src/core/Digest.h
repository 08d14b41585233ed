// Running digests on the platform's own implementations, never our own:
// libcrypto (SHA-256, MD5) and zlib (CRC32) on Linux, CNG in bcrypt.dll
// (SHA-256, MD5) and ntdll's RtlComputeCrc32 on Windows. The commands feed a
// digest the bytes they move anyway, so no file is ever read twice for it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace tolvanix {

// SHA-256 for .sha256 lists, MD5 for .md5 lists (GNU md5sum), CRC32 for .sfv.
enum class HashKind { Sha256, Md5, Crc32 };

class Hasher {
 public:
  virtual ~Hasher() = default;
  Hasher() = default;
  Hasher(const Hasher&) = delete;
  Hasher& operator=(const Hasher&) = delete;

  virtual void Update(const void* data, size_t n) = 0;
  // Lowercase hex of everything fed so far (64, 32 or 8 digits); the hasher
  // starts again from nothing afterwards.
  virtual std::string HexDigest() = 0;
};

// Implemented in each platform's folder; nullptr when the system refuses
// (the commands then go on as if there were no list).
std::unique_ptr<Hasher> MakeHasher(HashKind kind);

// Lowercase hex of n bytes.
std::string HexOf(const unsigned char* bytes, size_t n);

}  // namespace tolvanix
