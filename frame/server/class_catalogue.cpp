#include "frame/server/class_catalogue.h"

#include "frame/classes/class_makers.h"
#include "numori10.h"

namespace numoria::frame {

namespace {
const ClassEntry kClasses[] = {
    {L"clsVxNumoria10A", L"_clsVxNumoria10A", __uuidof(clsVxNumoria10A), __uuidof(_clsVxNumoria10A), &newInformationObject},
    {L"clsVxNumsGeneralA", L"_clsVxNumsGeneralA", __uuidof(clsVxNumsGeneralA), __uuidof(_clsVxNumsGeneralA), &newGeneralObject},
    {L"clsVxNumsAdvancedA", L"_clsVxNumsAdvancedA", __uuidof(clsVxNumsAdvancedA), __uuidof(_clsVxNumsAdvancedA), &newAdvancedObject},
    {L"clsVxNumsMatrixA", L"_clsVxNumsMatrixA", __uuidof(clsVxNumsMatrixA), __uuidof(_clsVxNumsMatrixA), &newMatrixObject},
    {L"clsVxNumsConversionsA", L"_clsVxNumsConversionsA", __uuidof(clsVxNumsConversionsA), __uuidof(_clsVxNumsConversionsA), &newConversionsObject},
    {L"clsVxNumsPerComA", L"_clsVxNumsPerComA", __uuidof(clsVxNumsPerComA), __uuidof(_clsVxNumsPerComA), &newPerComObject},
};
} // namespace

std::span<const ClassEntry> classCatalogue() { return kClasses; }

const ClassEntry* findClass(REFCLSID classId) noexcept {
    for (const ClassEntry& entry : kClasses)
        if (entry.classId == classId) return &entry;
    return nullptr;
}

} // namespace numoria::frame
