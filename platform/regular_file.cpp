// What both systems' regular files share: the one-name open and the words for a failure.
#include "platform/regular_file.h"

OpenResult OpenRegularFile(const char* name, RegularFile& file) {
    FolderListings listings;
    return OpenRegularFile(name, file, listings);
}

std::string WhyNotOpened(const OpenResult& opened) {
    switch (opened.status) {
        case OpenStatus::kOk:
            break;
        case OpenStatus::kNotFound:
            return "not found";
        case OpenStatus::kNotRegular:
            return "not a regular file (a folder, device, FIFO or socket)";
        case OpenStatus::kCannotRead:
            return "cannot be read";
        case OpenStatus::kAmbiguous: {
            std::string why =
                opened.variantsAreFolders ? "not found; several folders" : "not found; several files";
            why += " differ from the name only in letter case: ";
            for (std::size_t k = 0; k < opened.variants.size(); ++k) {
                why.append(k == 0 ? "" : ", ").append(opened.variants[k]);
            }
            return why;
        }
    }
    return {};
}
