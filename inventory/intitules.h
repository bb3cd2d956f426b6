// The column layout of a pre-read file: which line holds the titles, how many measurement
// columns sit beside the date/time column(s), and the titles of the columns to extract.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

class Dialogue;
class JournalSuivi;
class Lanceur;
class TableFichiers;
class TamponLignes;
struct Description;

// What the listing does after a check that may have asked the user something.
enum class SuiteListage { continuer, arreter, relancer };

// Where the data lie in the buffer (0-based line indices).
struct PlageDonnees {
    int premiere = 0;
    int derniere = -1;
    int decalage_balise = 0;  // index of the start-tag line, 0 without tags
};

// The layout found in the last pre-read file, kept for the processing run.
struct ColonnesFichier {
    int nb_colonnes_dates = 1;
    int nb_colonnes_donnees = 0;
    int ligne_intitules = -1;  // 0-based in the buffer, −1 without titles
    // The title line as found, or the generated titles A1, B2…, tab-separated.
    std::string Edit_intitule_origine;
    // The titles of every column (date columns included), tab-separated.
    std::string intitules;
    std::string texte_nb_colonnes;  // "3 colonnes de données"
};

// The input separator once the loader has turned tabulations into ";".
char separateur_entree(const Description& description);
// The caption of the separator button: "Tabulation", "Espace", "Point-virgule", "Virgule".
std::string nom_separateur(const Description& description);
int nb_colonnes_dates(const Description& description);

// With tags the data start at Edit_num_ligne_donnee counted from the first line holding
// Edit_balise_deb and end before the last line holding Edit_balise_fin; otherwise they run
// from Edit_num_ligne_donnee to the last line that is not blank.
PlageDonnees plage_donnees(const Description& description, const TamponLignes& tampon);

// The pre-read file whose layout is analysed, and its row in the file table (0: none).
struct FichierAnalyse {
    const TamponLignes& tampon;
    const PlageDonnees& plage;
    std::string_view chemin;
    int ligne_table = 0;
};

// What the analysis fills, tells and opens beside the description it may correct.
struct InterlocuteursAnalyse {
    TableFichiers& table;
    JournalSuivi& journal;
    Dialogue& dialogue;
    Lanceur& lanceur;
};

// Checks the title option against the file and finds its layout, asking the user when
// they disagree. A "Corriger" answer changes `description` (the caller's working copy)
// and stops the listing, or asks for it to run again. Fills "nb Colonnes" and
// "n°Lig intitulés" of the row; a layout without measurement columns empties the table.
SuiteListage analyser_intitules(Description& description, const FichierAnalyse& fichier,
                                ColonnesFichier& colonnes, const InterlocuteursAnalyse& autour);

// Label_col_alternatives: the titles of the columns listed in Edit_col_cochee.
//   Edit_col_cochee "7,12", titles A1…L12 → "=> G7 | L12"
// Returns the current display unchanged while the list is being typed ("", "7,").
std::string resume_colonnes_extraites(const Description& description,
                                      std::string_view Edit_intitule_origine,
                                      std::string_view affichage_actuel);

// Writes the columns of the last listing and the extraction list to the tracking log
// ("lister les colonnes"); nb_horodates is the size of the regular time list.
void lister_colonnes(const Description& description, const ColonnesFichier& colonnes,
                     int nb_horodates, std::string_view nom_methode, JournalSuivi& journal,
                     Dialogue& dialogue);

}  // namespace tarvo
