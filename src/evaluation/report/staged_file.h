#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vexa {

// A file written beside its final name (".NAME.PID.part" in the same folder) and renamed into
// place only once every byte is out and on the disk, so a failure never leaves a file that looks
// whole. One that is not put in place is removed when it goes.
class StagedFile {
public:
    explicit StagedFile(std::filesystem::path finalPath);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Each gives an empty text, or after the first failure why it failed ("PATH: reason", naming
    // the final path); later calls then do nothing and give the same text.
    std::string Open();
    std::string Write(std::string_view bytes);
    std::string Finish();      // everything written to the disk and the file closed
    std::string PutInPlace();  // renamed to the final name

private:
    std::string Fail(int error);

    std::filesystem::path finalPath_;
    std::filesystem::path stagedPath_;
    int descriptor_ = -1;
    bool staged_ = false;  // the staged file exists and is ours to remove
    std::string problem_;
};

}  // namespace vexa
