#include "md5_digest.h"

#include <openssl/evp.h>

#include <cstdio>

namespace kestrel::tool {

struct Md5Digest::Context {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ~Context() { EVP_MD_CTX_free(ctx); }
};

Md5Digest::Md5Digest() : context_(std::make_unique<Context>()) { EVP_DigestInit_ex(context_->ctx, EVP_md5(), nullptr); }
Md5Digest::~Md5Digest() = default;

void Md5Digest::Update(const void* data, std::size_t size) { EVP_DigestUpdate(context_->ctx, data, size); }

std::string Md5Digest::Hex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context_->ctx, digest, &length);
  std::string hex;
  char byte[3];
  for (unsigned i = 0; i < length; ++i) {
    std::snprintf(byte, sizeof byte, "%02x", digest[i]);
    hex += byte;
  }
  return hex;
}

}  // namespace kestrel::tool
