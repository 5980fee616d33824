// The public classes of numori10.dll, in type-library order.
#pragma once

#include <array>
#include <string>

namespace wine_tests {

inline const std::array<std::wstring, 6> kLibraryClasses = {L"clsVxNumoria10A",       L"clsVxNumsGeneralA",
                                                            L"clsVxNumsAdvancedA",    L"clsVxNumsMatrixA",
                                                            L"clsVxNumsConversionsA", L"clsVxNumsPerComA"};

inline std::wstring libraryProgId(const std::wstring& className) { return L"Numoria10." + className; }

inline const std::array<std::wstring, 3> kStandinClasses = {L"clsVxfuEnvironmentA", L"clsVxFundara10A",
                                                            L"clsVxfuErrorHandlerA"};

inline std::wstring standinProgId(const std::wstring& className) { return L"VxFundara10." + className; }

} // namespace wine_tests
