#include "frame/server/class_catalogue.h"

namespace numoria::frame {

std::span<const ClassEntry> classCatalogue() { return thisServer().classes; }

const ClassEntry* findClass(REFCLSID classId) noexcept {
    for (const ClassEntry& entry : classCatalogue())
        if (entry.classId == classId) return &entry;
    return nullptr;
}

} // namespace numoria::frame
