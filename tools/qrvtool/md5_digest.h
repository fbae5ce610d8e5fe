// MD5 of a byte stream, for one-line golden checks of decoded output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace kestrel::tool {

class Md5Digest {
 public:
  Md5Digest();
  ~Md5Digest();
  void Update(const void* data, std::size_t size);
  // Lower-case hex of the digest; finishes the digest.
  std::string Hex();

 private:
  struct Context;
  std::unique_ptr<Context> context_;
};

}  // namespace kestrel::tool
