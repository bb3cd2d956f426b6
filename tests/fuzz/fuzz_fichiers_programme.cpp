// Fuzzes the two files kept beside the program, "tarvo.prm" then "tarvo.2dt", as the
// session reads them at start-up (a crash there would stop the program from ever opening),
// and the grid summary the window then shows from the settings they gave.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

#include "engine/grille.h"
#include "formats/journal_suivi.h"
#include "session/session.h"
#include "tests/fuzz/fuzz_commun.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    static const std::string programme = fuzz::sous_dossier("programme");
    const auto [prm, deux_dt] = fuzz::parties<2>(donnees, taille);
    fuzz::ecrire(fichier_prm(programme), prm);
    fuzz::ecrire(fichier_2dt(programme), deux_dt);

    // Non to every question: the description the first line names may be any file of the
    // machine, which must not be loaded, nor its directories created.
    static const std::string non(64, '\x01');
    fuzz::DialogueFuzz dialogue(non);
    ProgressionLot progression{std::cerr, false, {}};
    LanceurLot lanceur;
    Session session(dialogue, progression, lanceur, programme);
    // The start-up never writes a file it is reading, as the batch program's does not.
    session.lecture_seule = true;
    session.creation();
    session.premiere_activation();
    JournalSuivi journal;
    resume_grille(session.parametres_grille, journal);
    return 0;
}
