// Fuzzes the measurement date reader with the patterns users type, or any pattern, over
// several lines read by one reader (a listing, then a run), as a conversion does.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"

namespace {

// Windows-1252 bytes: the "è" of "1ère" is the single byte E8.
constexpr std::string_view motifs[] = {
    "aaaa_mm_jj_hh_mn_ss",
    "jj_mm_aaaa_hh_mn_ss",
    "jj_mm_20aa_hh_mn_ss",
    "20aa_mm_jj_hh_mn_ss",
    "hh_mn_ss",
    "aaaa_mm_jj",
    "2023_12_25_hh_mn_ss",
    "jj/mm/aaaa OU aaaa/mm/jj",
    "mm/dd/yyyy OU yyyy/dd/mm",
    "multiformat_dt_mini_1\xE8reUE",
    "multiformat_dt_mini_1\xE8reUS",
    "jj/mm/aaaa hh:mn:ss souple",
    "mm/jj/aaaa hh:mn:ss souple",
    "mm/jj/aa hh:mn:ss AM/PM souple",
};
constexpr std::size_t nb_motifs = sizeof(motifs) / sizeof(motifs[0]);

void lire_lignes(tarvo::LecteurDateMesure& lecteur, std::string_view lignes, std::string_view motif,
                 tarvo::JournalSuivi& journal) {
    std::string resultat, canonique;
    for (;;) {
        const std::size_t fin = lignes.find('\n');
        lecteur.lire_date_heure_mesure(lignes.substr(0, fin), motif, resultat, journal);
        if (!resultat.empty()) tarvo::texte_vers_date_heure(resultat, canonique, journal);
        if (fin == std::string_view::npos) break;
        lignes.remove_prefix(fin + 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    if (taille < 1) return 0;
    const std::size_t choix = donnees[0] % (nb_motifs + 1);
    std::string_view reste(reinterpret_cast<const char*>(donnees) + 1, taille - 1);
    std::string_view motif;
    if (choix < nb_motifs) {
        motif = motifs[choix];
    } else {
        // The pattern comes from the input: pattern, NUL, then the lines.
        const std::size_t nul = reste.find('\0');
        motif = reste.substr(0, nul);
        reste = nul == std::string_view::npos ? std::string_view{} : reste.substr(nul + 1);
    }

    tarvo::JournalSuivi journal;
    tarvo::LecteurDateMesure lecteur;
    lecteur.debut_listing();
    // A fixed day keeps a finding reproducible on another day.
    lecteur.fixer_aujourdhui("25/12/2023");
    lire_lignes(lecteur, reste, motif, journal);
    lecteur.debut_traitement();
    lire_lignes(lecteur, reste, motif, journal);
    return 0;
}
