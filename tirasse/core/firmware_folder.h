#pragma once
// Where plenum runs, and so where it looks for the manufacturer's firmware files: a folder
// the user owns, not the program folder (an installed program folder needs administrator
// rights to write). The default is "Norvo Firmware" in the user's documents folder: the
// user copies files into it by hand, so it has to be easy to find, which the hidden
// application-data folders are not.

#include <string>

namespace tirasse {

inline constexpr const char* kFirmwareFolderName = "Norvo Firmware";

std::string defaultFirmwareFolder(const std::string& documentsDir);

// The folder to use: the one chosen (`chosen`, may be empty) while it exists or can be
// made, else the default, made when missing. "" when not even the default can be made.
std::string usableFirmwareFolder(const std::string& chosen, const std::string& documentsDir);

}  // namespace tirasse
