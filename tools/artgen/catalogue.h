// Every picture file the game loads, as "folder/name" relative to the data
// directory, and the pictures the painters make for them.
#pragma once

#include "tools/artgen/canvas.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace artgen {

std::vector<std::string> catalogueFiles();

// How a picture should look when it is listed on a contact sheet.
struct Picture {
    Canvas canvas;
    bool placeholder = false;  // a 1x1 picture for a number nothing draws
};

class PictureSet {
public:
    // Records the picture for a catalogue file ("04/7.png"); a second picture
    // for the same file or a file outside the catalogue is an error.
    void put(const std::string& file, Canvas picture);
    // Gives every catalogue file nothing painted a 1x1 transparent picture.
    void fillPlaceholders();

    const std::map<std::string, Picture>& pictures() const { return pictures_; }
    const std::vector<std::string>& errors() const { return errors_; }

private:
    std::mutex lock_;  // painters run on two threads
    std::map<std::string, Picture> pictures_;
    std::vector<std::string> errors_;
};

}  // namespace artgen
