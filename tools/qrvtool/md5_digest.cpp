#include "md5_digest.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "format_libraries.h"

namespace kestrel::tool {

struct Md5Digest::Context {
  explicit Context(const FormatLibraries& lib) : lib(lib), ctx(lib.mdCtxNew()) {}
  ~Context() { lib.mdCtxFree(ctx); }
  const FormatLibraries& lib;
  EVP_MD_CTX* ctx;
};

namespace {

const FormatLibraries& Libraries() {
  std::string why;
  const FormatLibraries* lib = LoadFormatLibraries(&why);
  if (!lib) {
    // Callers load the libraries first, where a failure can be reported.
    std::cerr << "qrvtool: " << why << "\n";
    std::abort();
  }
  return *lib;
}

}  // namespace

Md5Digest::Md5Digest() : context_(std::make_unique<Context>(Libraries())) {
  context_->lib.digestInit(context_->ctx, context_->lib.md5(), nullptr);
}
Md5Digest::~Md5Digest() = default;

void Md5Digest::Update(const void* data, std::size_t size) { context_->lib.digestUpdate(context_->ctx, data, size); }

std::string Md5Digest::Hex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  context_->lib.digestFinal(context_->ctx, digest, &length);
  std::string hex;
  char byte[3];
  for (unsigned i = 0; i < length; ++i) {
    std::snprintf(byte, sizeof byte, "%02x", digest[i]);
    hex += byte;
  }
  return hex;
}

}  // namespace kestrel::tool
