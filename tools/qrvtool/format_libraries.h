// The C libraries qrvtool reads and writes sound files with (libsndfile),
// resamples with (libsoxr) and takes digests with (libcrypto). They and what
// they link (the codecs libsndfile reads) take longer to map than a short
// decode takes, so a module of qrvtool's own (libqrvtool-formats.so) links
// them and hands out their functions; a command loads it when it first needs
// one of them.
#pragma once

#include <openssl/evp.h>
#include <sndfile.h>
#include <soxr.h>

#include <string>

namespace kestrel::tool {

struct FormatLibraries {
  decltype(&::sf_open_fd) sfOpenFd;
  decltype(&::sf_close) sfClose;
  decltype(&::sf_error) sfError;
  decltype(&::sf_strerror) sfStrerror;
  decltype(&::sf_readf_float) sfReadfFloat;
  decltype(&::sf_write_short) sfWriteShort;
  decltype(&::soxr_io_spec) soxrIoSpec;
  decltype(&::soxr_quality_spec) soxrQualitySpec;
  decltype(&::soxr_create) soxrCreate;
  decltype(&::soxr_process) soxrProcess;
  decltype(&::soxr_delete) soxrDelete;
  decltype(&::EVP_MD_CTX_new) mdCtxNew;
  decltype(&::EVP_MD_CTX_free) mdCtxFree;
  decltype(&::EVP_md5) md5;
  decltype(&::EVP_DigestInit_ex) digestInit;
  decltype(&::EVP_DigestUpdate) digestUpdate;
  decltype(&::EVP_DigestFinal_ex) digestFinal;
};

// The libraries, loaded on the first call; null, with the reason, when the
// module cannot be loaded.
const FormatLibraries* LoadFormatLibraries(std::string* why);

}  // namespace kestrel::tool

// The module's one entry point.
// NOLINTNEXTLINE(readability-identifier-naming): a C symbol, looked up by this name.
extern "C" const void* kestrel_qrvtool_format_libraries();
