// Pictures written into a folder as frame-00001.png, frame-00002.png, ...:
// first into a hidden temporary folder inside it, then moved into place
// together once every picture has been written, so that a failed or
// interrupted run leaves the folder as it was.
#pragma once

#include <string>
#include <vector>

#include "input_file.h"
#include "temporary_files.h"

namespace kestrel::tool {

class PngFolderOutput {
 public:
  PngFolderOutput() = default;
  ~PngFolderOutput();  // removes what was not committed
  PngFolderOutput(const PngFolderOutput&) = delete;
  PngFolderOutput& operator=(const PngFolderOutput&) = delete;

  // Makes the folder if need be. False with "FOLDER: reason".
  bool Open(const std::string& folder, std::string* why);
  // The next picture: upright R, G, B.
  bool Write(const std::uint8_t* rgb, int width, int height, std::string* why);
  // Moves the pictures into place: none may be an input, and with -n none
  // may exist yet. The exit status, with the reason when it is not 0.
  int Commit(const std::vector<FileIdentity>& inputs, bool noClobber, std::string* why);

 private:
  std::string PathIn(const std::string& folder, int index) const;
  void Abandon();

  std::string folder_, temporary_;
  int count_ = 0;
  bool madeFolder_ = false;
  TemporaryEntry folderEntry_, picturesEntry_;
};

}  // namespace kestrel::tool
