// Fuzzes the engine on a whole logger file: stage 1, the grid of the period the description
// was last processed for, then every line extracted into its step and the steps aggregated.
#include <cstddef>
#include <cstdint>

#include "description/cles_description.h"
#include "engine/agregation.h"
#include "engine/extraction.h"
#include "engine/grille.h"
#include "formats/date_canonique.h"
#include "tests/fuzz/fuzz_listage.h"

using namespace tarvo;

namespace {

// Grids too long for a small file only measure the fuzzer's patience.
constexpr double max_lignes_grille = 5000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    fuzz::Listage l(donnees, taille);
    const ResultatListage liste = l.lister();
    if (liste.fin != FinListage::complet) return 0;

    // The run reads with the corrections the listing's questions made, as the session does.
    const Description& d = liste.description;
    ParametresGrille parametres{d.Label_min_dsc, d.Label_max_dsc,
                                lire_heure(d.Label_pas_dsc, l.journal)};
    std::string canonique;
    const double debut = texte_vers_date_heure(parametres.Label_temps_deb, canonique, l.journal);
    const double fin = texte_vers_date_heure(parametres.Label_temps_fin, canonique, l.journal);
    if (parametres.TimePicker_pas <= 0 || (fin - debut) / pas_jours(parametres) > max_lignes_grille)
        return 0;
    const Grille grille = construire_grille(parametres, l.dialogue, l.progression, l.journal);
    if (grille.etat != EtatGrille::construite) return 0;

    TableEtapes etapes;
    const ContexteExtraction contexte{d,         parametres, grille,     0,
                                      l.source,  false,      l.table,    l.inventaire,
                                      l.lecteur, l.journal,  l.dialogue, l.progression};
    const ResultatExtraction r = extraire_mesures(contexte, etapes);
    if (r.fin == FinExtraction::complete)
        agreger(etapes, d, pas_jours(parametres), l.journal, l.progression);
    return 0;
}
