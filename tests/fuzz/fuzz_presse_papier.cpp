// Fuzzes the clipboard import as the batch program takes it from standard input (UTF-8 or
// Windows-1252, tabulations or ";"), then stage 1 on the copy it makes, as a "ppp"
// description reads it.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>

#include "app/plateforme_lot.h"
#include "session/session.h"
#include "tests/fuzz/fuzz_commun.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    static const std::string programme = fuzz::sous_dossier("programme");
    const auto [dsc, reponses, cellules] = fuzz::parties<3>(donnees, taille);
    std::istringstream entree{std::string(cellules)};
    PressePapierEntree presse_papier(entree, false);
    fuzz::DialogueFuzz dialogue(reponses);
    ProgressionLot progression{std::cerr, false, {}};
    LanceurLot lanceur;
    Session session(dialogue, progression, lanceur, presse_papier, programme);
    session.lecture_seule = true;
    session.description = fuzz::description_fuzz(dsc, "ppp");
    session.source = {ModeEntree::presse_papier, programme + "~presse-papier.ppp"};
    session.lister_fichiers();
    return 0;
}
