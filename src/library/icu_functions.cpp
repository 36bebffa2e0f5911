#include "icu_functions.h"

#include <dlfcn.h>

#include <stdexcept>
#include <string>
#include <type_traits>

// ICU's headers rename every function to carry the library's version (ucol_open becomes
// ucol_open_72); a name looked up in the library must be the renamed one.
#define QUORVELA_ICU_TEXT(name) #name
#define QUORVELA_ICU_SYMBOL(name) QUORVELA_ICU_TEXT(name)

namespace quorvela::library {

namespace {

IcuFunctions Load() {
    constexpr const char* kLibrary = "libicui18n.so." U_ICU_VERSION_SHORT;
    // Never closed: collators live as long as the program.
    void* library = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* why = ::dlerror();
        throw std::runtime_error(std::string("ICU collation is not available: ") + (why != nullptr ? why : kLibrary));
    }
    const auto find = [library](auto& function, const char* symbol) {
        void* address = ::dlsym(library, symbol);
        if (address == nullptr) throw std::runtime_error(std::string("ICU collation lacks ") + symbol);
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(address);
    };
    IcuFunctions icu;
    find(icu.Open, QUORVELA_ICU_SYMBOL(ucol_open));
    find(icu.Clone, QUORVELA_ICU_SYMBOL(ucol_clone));
    find(icu.Close, QUORVELA_ICU_SYMBOL(ucol_close));
    find(icu.SetStrength, QUORVELA_ICU_SYMBOL(ucol_setStrength));
    find(icu.GetStrength, QUORVELA_ICU_SYMBOL(ucol_getStrength));
    find(icu.SetAttribute, QUORVELA_ICU_SYMBOL(ucol_setAttribute));
    find(icu.GetAttribute, QUORVELA_ICU_SYMBOL(ucol_getAttribute));
    find(icu.GetSortKey, QUORVELA_ICU_SYMBOL(ucol_getSortKey));
    find(icu.Compare, QUORVELA_ICU_SYMBOL(ucol_strcoll));
    find(icu.ContractionsAndExpansions, QUORVELA_ICU_SYMBOL(ucol_getContractionsAndExpansions));
    find(icu.OpenElements, QUORVELA_ICU_SYMBOL(ucol_openElements));
    find(icu.NextElement, QUORVELA_ICU_SYMBOL(ucol_next));
    find(icu.CloseElements, QUORVELA_ICU_SYMBOL(ucol_closeElements));
    find(icu.PrimaryOrder, QUORVELA_ICU_SYMBOL(ucol_primaryOrder));
    find(icu.SecondaryOrder, QUORVELA_ICU_SYMBOL(ucol_secondaryOrder));
    find(icu.OpenSet, QUORVELA_ICU_SYMBOL(uset_openEmpty));
    find(icu.CloseSet, QUORVELA_ICU_SYMBOL(uset_close));
    find(icu.SetItemCount, QUORVELA_ICU_SYMBOL(uset_getItemCount));
    find(icu.SetItem, QUORVELA_ICU_SYMBOL(uset_getItem));
    find(icu.SetContains, QUORVELA_ICU_SYMBOL(uset_contains));
    find(icu.FromUtf8, QUORVELA_ICU_SYMBOL(u_strFromUTF8WithSub));
    return icu;
}

}  // namespace

const IcuFunctions& Icu() {
    // A failed load throws here and is tried again by the next caller.
    static const IcuFunctions functions = Load();
    return functions;
}

}  // namespace quorvela::library
