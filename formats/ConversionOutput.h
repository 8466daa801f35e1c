// The files one conversion writes into its output's folder, written so that nothing there is
// ever replaced but the output itself (and that only when asked), and so that a failure or
// a cancel leaves the folder as it was.
//
//   ConversionOutput out("/runs/route.txt", /*Replace=*/false);
//   out.ReservePicture("route-1.png", bytes)  -> "route-1.png", or "route-1-2.png" when a
//                                                file of that name is there; created empty
//                                                (O_EXCL), its bytes kept for Commit
//   out.StageMain(text, &reason);             // ".route.txt.XXXXXX" (mkstemp), synced
//   out.Commit(&reason);                      // route.txt in place; then the pictures
//
// The temporary file has a name no other process can share, so two conversions to one
// output never take each other's files. Commit puts the output in place first, with a
// rename that refuses an existing file unless Replace is set; only then do the reserved
// pictures get their bytes, each written into the very file reserved for it. Pictures are
// not synced one by one: the folder is synced once at the end. Destroyed without a
// successful Commit, it removes every file it created, and nothing else.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

class ConversionOutput {
  public:
    ConversionOutput(std::string path, bool replace);
    ~ConversionOutput();
    ConversionOutput(const ConversionOutput&) = delete;
    ConversionOutput& operator=(const ConversionOutput&) = delete;

    // A free name in the output's folder for a new picture, created there empty, that Commit
    // writes bytes into: wanted, or wanted with "-2", "-3", ... before its extension. "" when
    // none can be created.
    std::string ReservePicture(const std::string& wanted, std::string bytes);
    // The output's bytes, written and synced aside until Commit.
    bool StageMain(std::string_view bytes, std::string* reason);
    // Puts the output in place, then writes the reserved pictures. False, with the reason,
    // when the output cannot be put in place: then nothing was changed. A picture that
    // cannot be written (its file taken away or replaced meanwhile, a full disk) is named in
    // *lostPictures; its file is removed if it is still the one reserved.
    bool Commit(std::string* reason, std::vector<std::string>* lostPictures = nullptr);

  private:
    struct Created {
        std::string Name;
        dev_t Device = 0;
        ino_t Inode = 0;
        std::string Bytes;  // what Commit writes into it
    };
    bool StillOurs(const Created& file) const;
    void RemoveIfOurs(const Created& file) const;
    bool Fill(const Created& file) const;

    std::string path_;
    std::string folder_;
    std::string name_;
    bool replace_;
    int folderFd_ = -1;
    int folderError_ = 0;  // why the folder could not be opened
    std::string mainTemp_;
    std::vector<Created> reserved_;
    bool committed_ = false;
};
