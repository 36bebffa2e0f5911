#pragma once

#include <unicode/ucol.h>
#include <unicode/ucoleitr.h>
#include <unicode/uset.h>
#include <unicode/ustring.h>

namespace quorvela::library {

// ICU's collation functions, taken from ICU's library when first needed instead of linked:
// a program that links ICU reads all of it from disk before main() on a cold start, and a run
// from the photo cache is over in little more than that time. Loaded in the background of the
// run, it is ready by the time the run sorts.
struct IcuFunctions {
    decltype(&ucol_open) Open = nullptr;
    decltype(&ucol_clone) Clone = nullptr;
    decltype(&ucol_close) Close = nullptr;
    decltype(&ucol_setStrength) SetStrength = nullptr;
    decltype(&ucol_getStrength) GetStrength = nullptr;
    decltype(&ucol_setAttribute) SetAttribute = nullptr;
    decltype(&ucol_getAttribute) GetAttribute = nullptr;
    decltype(&ucol_getSortKey) GetSortKey = nullptr;
    decltype(&ucol_strcoll) Compare = nullptr;
    decltype(&ucol_getContractionsAndExpansions) ContractionsAndExpansions = nullptr;
    decltype(&ucol_openElements) OpenElements = nullptr;
    decltype(&ucol_next) NextElement = nullptr;
    decltype(&ucol_closeElements) CloseElements = nullptr;
    decltype(&ucol_primaryOrder) PrimaryOrder = nullptr;
    decltype(&ucol_secondaryOrder) SecondaryOrder = nullptr;
    decltype(&uset_openEmpty) OpenSet = nullptr;
    decltype(&uset_close) CloseSet = nullptr;
    decltype(&uset_getItemCount) SetItemCount = nullptr;
    decltype(&uset_getItem) SetItem = nullptr;
    decltype(&uset_contains) SetContains = nullptr;
    decltype(&u_strFromUTF8WithSub) FromUtf8 = nullptr;
};

// The functions of the ICU this program was built with, loaded once. Throws
// std::runtime_error when the library or one of them cannot be found.
const IcuFunctions& Icu();

}  // namespace quorvela::library
