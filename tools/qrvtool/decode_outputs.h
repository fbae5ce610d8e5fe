// The files one decode writes: each opened before decoding starts, written
// as the records come, and put in place only when all of them are complete.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "decode_command.h"
#include "md5_digest.h"
#include "output_file.h"
#include "png_folder_output.h"
#include "wav_writer.h"
#include "y4m_writer.h"

namespace kestrel::tool {

class DecodeOutputs {
 public:
  // Opens every output `request` names; false with the first failure.
  bool Open(const DecodeRequest& request, int frameRate, std::string* why);

  void Samples(const std::int16_t* samples);
  // The conversion of a decoded picture for the outputs that is done on the
  // thread that decoded it (the Y4M frame); it reads only what Open set.
  void Prepare(const std::uint8_t* picture, std::vector<std::uint8_t>& prepared) const;
  // A picture, in file order, with what Prepare made of it.
  void Picture(const std::uint8_t* picture, const std::vector<std::uint8_t>& prepared);
  bool Failed() const { return failed_; }
  // Whether any output or digest takes the pictures: if none does, they
  // need not be decoded.
  bool WantsPictures() const { return hasBgr_ || hasY4m_ || png_ || bgrMd5_; }

  // Puts every output in place, or none: the exit status, with the reason.
  int Commit(const FileIdentity& input, std::string* why);
  std::string PcmDigest() { return pcmMd5_ ? pcmMd5_->Hex() : std::string(); }
  std::string BgrDigest() { return bgrMd5_ ? bgrMd5_->Hex() : std::string(); }

 private:
  void Fail(const std::string& why);

  OutputFile pcm_, bgr_, wav_, y4m_;
  bool hasPcm_ = false, hasBgr_ = false, hasWav_ = false, hasY4m_ = false;
  WavWriter wavWriter_;
  Y4mWriter y4mWriter_;
  std::unique_ptr<PngFolderOutput> png_;
  std::unique_ptr<Md5Digest> pcmMd5_, bgrMd5_;
  bool noClobber_ = false;
  bool failed_ = false;
  std::string error_;
};

}  // namespace kestrel::tool
