// The module's side of format_libraries.h.
#include "format_libraries.h"

namespace kestrel::tool {

namespace {

constexpr FormatLibraries kLibraries = {::sf_open_fd,        ::sf_close,       ::sf_error,          ::sf_strerror,
                                        ::sf_readf_float,    ::sf_write_short, ::soxr_io_spec,      ::soxr_quality_spec,
                                        ::soxr_create,       ::soxr_process,   ::soxr_delete,       ::EVP_MD_CTX_new,
                                        ::EVP_MD_CTX_free,   ::EVP_md5,        ::EVP_DigestInit_ex, ::EVP_DigestUpdate,
                                        ::EVP_DigestFinal_ex};

}  // namespace

}  // namespace kestrel::tool

extern "C" __attribute__((visibility("default"))) const void* kestrel_qrvtool_format_libraries() {
  return &kestrel::tool::kLibraries;
}
