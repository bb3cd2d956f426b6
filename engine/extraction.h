// The first half of the engine: every line of every selected file read once, its time
// corrected and placed in its grid step, its fields cleaned and gathered into the step
// table, with the per-file statistics of the file table.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/table_etapes.h"
#include "formats/nombres.h"
#include "formats/texte.h"

namespace tarvo {

class Dialogue;
class JournalSuivi;
class LecteurDateMesure;
class Progression;
class TableFichiers;
struct Description;
struct EtatInventaire;
struct Grille;
struct ParametresGrille;
struct SourceListage;

// How files are read: worker threads parse whole blocks of lines while one thread adds them
// up in file order, so the result does not depend on either setting.
struct ReglagesLecture {
    int nb_fils = 0;  // 0: the machine's hardware threads
    std::size_t taille_bloc = std::size_t{1} << 20;
};

// What the run works on; the caller owns all of it.
struct ContexteExtraction {
    const Description& description;
    const ParametresGrille& parametres_grille;
    const Grille& grille;
    int SpinEdit_decalage_jour = 0;
    const SourceListage& source;
    // Rows were deleted from the file table since the last listing.
    bool lignes_supprimees = false;
    TableFichiers& table;
    EtatInventaire& inventaire;  // the column layout of the listing, the line buffer
    LecteurDateMesure& lecteur;
    JournalSuivi& journal;
    Dialogue& dialogue;
    Progression& progression;
    ReglagesLecture lecture{};
};

enum class FinExtraction {
    complete,
    arretee,     // the stop request: what was read is kept and the run goes on
    abandonnee,  // Oui to a question that cancels the run: nothing is saved
    refusee,     // no grid, a file that cannot be loaded, a bad column list
};

// How far a run read one of its files.
enum class LectureFichier { entiere, partielle, aucune };

struct FichierLu {
    std::string nom;  // with its subdirectory
    LectureFichier lecture = LectureFichier::aucune;
};

struct ResultatExtraction {
    FinExtraction fin = FinExtraction::refusee;
    int nb_fichiers = 0;
    long long nb_lignes_extraites = 0;
    // Earliest and latest first/last data dates of the files (0 when none).
    double date_heure_min = 0;
    double date_heure_max = 0;
    std::string colonnes_sortie;    // "5 colonnes (avec temps et nb)"
    std::string nb_lignes_donnees;  // data lines of the last file
    std::string Label_fic;
    std::string Label_nlig_impliquee;
    std::string temps_restant;
    std::string Label_date_heure_min;
    std::string Label_date_heure_max;
    // Every file the run was to read, in order: a stop leaves the file under way read in
    // part and the next ones unread.
    std::vector<FichierLu> fichiers;
    // Lines left out because their date could not be read or does not exist, and where the
    // first one was: "fichier.csv ligne 12 : 13/25/2024 10:00;4,2".
    long long nb_lignes_rejetees = 0;
    std::string premiere_ligne_rejetee;
};

ResultatExtraction extraire_mesures(const ContexteExtraction& contexte, TableEtapes& table_etapes);

// --- the rules of the run, each usable alone

// Offset in days: `SpinEdit_decalage_jour` + `TimePicker_decalage`, negated by
// `RadioButton_decalage_negatif`.
double decalage_jours(const Description& description, int SpinEdit_decalage_jour);

// The first seven entries of `Edit_equiv_na`, each trimmed.
//   "NA; -1 ;-99999" → {"NA", "-1", "-99999"}
std::vector<std::string> equivalences_na(std::string_view Edit_equiv_na);

// `Edit_col_cochee` as column numbers: ";" reads as ",", empty entries are dropped;
// nothing when an entry is not a whole number from 1 on (its text in `fautive`).
//   "7,,12;3," → {7, 12, 3}        "7,b" → nothing, fautive "b"
std::optional<std::vector<int>> colonnes_cochees(std::string_view Edit_col_cochee,
                                                 std::string& fautive);

// Every field of a line at once, as champ_vue cuts them (trimmed, blank runs one
// separator for a blank); fields beyond champ_max are dropped.
void decouper_champs(std::string_view ligne, char separateur,
                     std::vector<std::string_view>& champs);
// The same, reading quoted fields when the description asks for it; their values are then
// written into `valeurs`, which the views point into.
inline void decouper_champs(std::string_view ligne, char separateur, bool guillemets,
                            std::string& valeurs, std::vector<std::string_view>& champs) {
    if (guillemets)
        decouper_champs_guillemets(ligne, separateur, valeurs, champs);
    else
        decouper_champs(ligne, separateur, champs);
}

// Thresholds and NA texts a field is cleaned against.
struct ReglesChamp {
    std::optional<double> min;
    std::optional<double> max;
    std::vector<std::string> equivalences;
};

// One of the NA texts, compared as written.
inline bool equivalent_na(std::string_view champ, const ReglesChamp& r) {
    for (const std::string& e : r.equivalences)
        // The first byte settles most fields (digits against "NA", "-99999"…) at no cost.
        if (e.size() == champ.size() && (e.empty() || e.front() == champ.front()) && e == champ)
            return true;
    return false;
}

// The usual field, a plain number with no thresholds to pass and no NA text, read once; false
// for any other field, which nettoyer_champ reads in full to the same verdict and value.
inline bool valeur_simple(std::string_view champ, const ReglesChamp& r, double& v) {
    if (r.min || r.max || champ.empty() || champ.front() == '<' || champ.front() == ' ' ||
        equivalent_na(champ, r) || !lire_nombre_simple(champ, v))
        return false;
    if (champ.find(',') == std::string_view::npos) return true;
    // "-99999,0" is the NA code "-99999.0" once its comma is read as a point.
    for (const std::string& e : r.equivalences) {
        if (e.size() != champ.size()) continue;
        bool egal = true;
        for (std::size_t i = 0; i < e.size() && egal; ++i)
            egal = e[i] == (champ[i] == ',' ? '.' : champ[i]);
        if (egal) return false;
    }
    return true;
}

struct ChampNettoye {
    bool na = true;
    long double valeur = 0;
    // A text that is no number: counted and logged by the run.
    bool pb_conversion = false;
    // Still holds "/" or ":" once cleaned: the column list points at a date.
    bool alphanumerique = false;
};

// One field through the thresholds, the NA texts and the number test, in that order.
//   "-99999" → NA       "<12,5" → 12.5       "12<" → NA and a conversion problem
ChampNettoye nettoyer_champ(std::string_view champ, const ReglesChamp& regles,
                            std::string& travail);

// The step of a corrected time: k with date[k−1] < t ≤ date[k] ("(inf ou =)") or
// date[k−1] ≤ t < date[k] ("(inf strict)"), 0 when none. The search starts at `depart`
// (the previous line's step, updated) and goes up, then starts again from 1. With
// "(inf strict)" and a calendar unit the step found is lowered by one, so a row dated D
// holds [D, next D), the last row up to the table's fin_ms.
int etape_de(const TableEtapes& table, double t, int test_strict, int unite_pas, int& depart);

}  // namespace tarvo
