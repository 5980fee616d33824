// The public classes of numori10.dll, in type-library order.
#pragma once

#include <array>
#include <string>

namespace wine_tests {

inline const std::array<std::wstring, 6> kLibraryClasses = {L"clsVxNumoria10A",       L"clsVxNumsGeneralA",
                                                            L"clsVxNumsAdvancedA",    L"clsVxNumsMatrixA",
                                                            L"clsVxNumsConversionsA", L"clsVxNumsPerComA"};

inline std::wstring library_prog_id(const std::wstring& class_name) { return L"Numoria10." + class_name; }

inline const std::array<std::wstring, 3> kStandinClasses = {L"clsVxfuEnvironmentA", L"clsVxFundara10A",
                                                            L"clsVxfuErrorHandlerA"};

inline std::wstring standin_prog_id(const std::wstring& class_name) { return L"VxFundara10." + class_name; }

} // namespace wine_tests
