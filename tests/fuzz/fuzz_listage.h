// Stage 1 on one data file, for the targets that read a logger file as the program does:
// the input gives the description, the answers to its boxes and the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iostream>
#include <string>
#include <string_view>

#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "inventory/listing.h"
#include "inventory/table_fichiers.h"
#include "tests/fuzz/fuzz_commun.h"

namespace tarvo::fuzz {

struct Listage {
    // Input: the ".dsc" text, a separator line, the answers, a separator line, the file.
    Listage(const uint8_t* donnees, std::size_t taille)
        : entree(parties<3>(donnees, taille)),
          description(description_fuzz(entree[0], "dat")),
          dialogue(entree[1]) {
        ecrire(description.dossier_choisi + std::string(nom_fichier_donnees), entree[2]);
        lecteur.fixer_aujourdhui("25/12/2023");
    }

    ResultatListage lister() {
        return tarvo::lister(description, source, inventaire, table, lecteur, journal, dialogue,
                             progression, lanceur);
    }

    std::array<std::string_view, 3> entree;
    Description description;
    DialogueFuzz dialogue;
    ProgressionLot progression{std::cerr, false, {}};
    LanceurLot lanceur;
    SourceListage source;
    EtatInventaire inventaire;
    TableFichiers table;
    LecteurDateMesure lecteur;
    JournalSuivi journal;
};

}  // namespace tarvo::fuzz
