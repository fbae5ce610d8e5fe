// A stream of bytes read front to back, from a file, a pipe or memory; what
// the stream parsers read, so that they can be driven from memory too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace kestrel::tool {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `size` bytes; fewer only at the end of the stream or on a failure.
  virtual std::size_t Read(void* into, std::size_t size) = 0;
  // True when the stream ended by a read error rather than at its end.
  virtual bool Failed() const = 0;
};

class StdioByteSource : public ByteSource {
 public:
  explicit StdioByteSource(std::FILE* stream) : stream_(stream) {}  // takes ownership
  ~StdioByteSource() override {
    if (stream_) std::fclose(stream_);
  }
  StdioByteSource(const StdioByteSource&) = delete;
  StdioByteSource& operator=(const StdioByteSource&) = delete;
  std::size_t Read(void* into, std::size_t size) override { return stream_ ? std::fread(into, 1, size, stream_) : 0; }
  bool Failed() const override { return !stream_ || std::ferror(stream_) != 0; }

 private:
  std::FILE* stream_;
};

class MemoryByteSource : public ByteSource {
 public:
  MemoryByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::size_t Read(void* into, std::size_t size) override;
  bool Failed() const override { return false; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace kestrel::tool
