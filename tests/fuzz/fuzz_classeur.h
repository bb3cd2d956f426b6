// The workbook targets hand the reader a real file: a zip written from the parts the input
// gives, then the conversion of its first sheet as the listing asks for it.
#pragma once

#include <zip.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "description/classeur.h"
#include "tests/fuzz/fuzz_commun.h"

namespace tarvo::fuzz {

using PartiesZip = std::vector<std::pair<std::string, std::string_view>>;

// Stored, not compressed: the reader's inflating is libzip's, and storing keeps every run fast.
inline void ecrire_zip(const std::string& chemin, const PartiesZip& parties) {
    int erreur = 0;
    zip_t* z = zip_open(chemin.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &erreur);
    if (z == nullptr) std::abort();
    for (const auto& [nom, contenu] : parties) {
        zip_source_t* s = zip_source_buffer(z, contenu.data(), contenu.size(), 0);
        const zip_int64_t i = s ? zip_file_add(z, nom.c_str(), s, ZIP_FL_OVERWRITE) : -1;
        if (i < 0 ||
            zip_set_file_compression(z, static_cast<zip_uint64_t>(i), ZIP_CM_STORE, 0) != 0)
            std::abort();
    }
    if (zip_close(z) != 0) std::abort();
}

// The converted copy the listing would read, "~tmp_xls.csv" as the session names it.
inline const std::string& copie_convertie() {
    static const std::string copie = sous_dossier("programme") + "~tmp_xls.csv";
    return copie;
}

inline ResultatConversion convertir(const std::string& classeur) {
    const ResultatConversion r = convertir_classeur(classeur, 1, copie_convertie());
    if (r.reussi != r.erreur.empty()) __builtin_trap();
    return r;
}

}  // namespace tarvo::fuzz
