// numori10.dll: its six classes, its two type libraries, the environment
// check every object creation runs, and the per-thread module data its entry
// point looks after.
#include "frame/server/class_catalogue.h"

#include "frame/classes/class_makers.h"
#include "frame/library_info/thread_module_data.h"
#include "frame/services/framework_services.h"
#include "numori10.h"

namespace numoria::frame {

namespace {
const ClassEntry kClasses[] = {
    {L"clsVxNumoria10A", L"_clsVxNumoria10A", __uuidof(clsVxNumoria10A), __uuidof(_clsVxNumoria10A),
     &newInformationObject},
    {L"clsVxNumsGeneralA", L"_clsVxNumsGeneralA", __uuidof(clsVxNumsGeneralA), __uuidof(_clsVxNumsGeneralA),
     &newGeneralObject},
    {L"clsVxNumsAdvancedA", L"_clsVxNumsAdvancedA", __uuidof(clsVxNumsAdvancedA), __uuidof(_clsVxNumsAdvancedA),
     &newAdvancedObject},
    {L"clsVxNumsMatrixA", L"_clsVxNumsMatrixA", __uuidof(clsVxNumsMatrixA), __uuidof(_clsVxNumsMatrixA),
     &newMatrixObject},
    {L"clsVxNumsConversionsA", L"_clsVxNumsConversionsA", __uuidof(clsVxNumsConversionsA),
     __uuidof(_clsVxNumsConversionsA), &newConversionsObject},
    {L"clsVxNumsPerComA", L"_clsVxNumsPerComA", __uuidof(clsVxNumsPerComA), __uuidof(_clsVxNumsPerComA),
     &newPerComObject},
};

// Class_Initialize of every class: the environment check through the
// framework library (its own errors are absorbed there or fail the creation).
void checkEnvironment() { EnsureVxEnvironmentStatus_Pro(); }

const ServerDescription kServer = {
    L"Numoria10",      LIBID_Numoria10,          &LIBID_Numoria10Runtime, kClasses,
    &checkEnvironment, &threadDataAttachProcess, &threadDataDetachThread, &threadDataDetachProcess,
};
} // namespace

const ServerDescription& thisServer() { return kServer; }

} // namespace numoria::frame
