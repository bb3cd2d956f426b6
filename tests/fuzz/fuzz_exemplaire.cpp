// Fuzzes the sample-file command on a logger file and the description open beside it: the
// file pre-read as a sample, its first lines checked against the description's layout with
// the user's answers, then the listing the command ends with.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>

#include "session/exemplaire.h"
#include "session/session.h"
#include "tests/fuzz/fuzz_commun.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    const auto [dsc, reponses, fichier] = fuzz::parties<3>(donnees, taille);
    fuzz::DialogueFuzz dialogue(reponses);
    ProgressionLot progression{std::cerr, false, {}};
    LanceurLot lanceur;
    Session session(dialogue, progression, lanceur, fuzz::sous_dossier("programme"));
    // The description the command would save stays the one in the input.
    session.lecture_seule = true;
    session.description = fuzz::description_fuzz(dsc, "dat");
    session.Label_description_bd = "essai.dsc";
    const std::string chemin =
        session.description.dossier_choisi + std::string(fuzz::nom_fichier_donnees);
    fuzz::ecrire(chemin, fichier);
    exemplaire_fichier_donnees(session, dialogue, lanceur, chemin);
    return 0;
}
