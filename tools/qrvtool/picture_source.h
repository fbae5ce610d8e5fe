// The pictures of a message being recorded, read in turn: a folder of
// pictures (PNG, JPEG, BMP, in name order, one per picture) or a Y4M stream
// (a file, a pipe), each scaled to 320 x 240.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "input_file.h"

namespace kestrel::tool {

class PictureSource {
 public:
  virtual ~PictureSource() = default;
  // Picture k of the message (k = 0, 1, ... in turn) as a decoded picture is
  // laid out (B, G, R, bottom line first); `ended` when there is none. For a
  // Y4M stream picture k is the frame showing at k / fps seconds, so frames
  // are repeated or dropped to the message's rate. The exit status: 0, or 1
  // (a file the system refused) or 2 (a picture that cannot be read) with `why`.
  int Next(std::vector<std::uint8_t>& picture, bool& ended, std::string* why);
  // The work left to make a picture that Take handed out (converting and
  // scaling a video frame), for the caller to do on any thread; empty when
  // the picture came whole.
  using Finish = std::function<void(std::vector<std::uint8_t>& picture)>;
  // Next, less the work left in `finish`.
  virtual int Take(std::vector<std::uint8_t>& picture, Finish& finish, bool& ended, std::string* why) = 0;
  // The files it reads, which no output may replace.
  virtual std::vector<FileIdentity> Inputs() const = 0;
};

// Null with the status and `why` when the folder or stream cannot be used.
std::unique_ptr<PictureSource> OpenPictureSource(const std::string& path, int framesPerSecond, int& status,
                                                 std::string* why);

}  // namespace kestrel::tool
