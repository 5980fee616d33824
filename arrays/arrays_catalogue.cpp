// numori10arrays.dll: one class, registered as a spreadsheet automation
// add-in too, and its type library. Its objects need nothing at creation
// and it keeps no per-thread data: it does not call the framework library,
// so it can be deployed and loaded on its own.
#include "arrays/arrays_class.h"
#include "frame/server/class_catalogue.h"
#include "numori10arrays.h"

namespace numoria::frame {

namespace {
const ClassEntry kClasses[] = {
    {L"clsVxNumsArraysA", L"_clsVxNumsArraysA", __uuidof(clsVxNumsArraysA), __uuidof(_clsVxNumsArraysA),
     &newArraysObject, true},
};

const ServerDescription kServer = {
    L"Numoria10Arrays", LIBID_Numoria10Arrays, nullptr, kClasses, nullptr, nullptr, nullptr, nullptr,
};
} // namespace

const ServerDescription& thisServer() { return kServer; }

} // namespace numoria::frame
