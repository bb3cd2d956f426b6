// Stage 1: list the input files into the file table and pre-read the first (or the
// marked, or every) file to show its time range and column layout.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "description/description.h"
#include "inventory/intitules.h"
#include "inventory/prelecture.h"

namespace tarvo {

class Dialogue;
class JournalSuivi;
class Lanceur;
class LecteurDateMesure;
class Progression;
class TableFichiers;

// Where the files come from; a spreadsheet sheet or the clipboard is one converted copy.
struct SourceListage {
    ModeEntree mode = ModeEntree::fichiers;
    std::string copie;  // path of "~tmp_xls.csv" or "~presse-papier.ppp"
};

// The texts of the window that the listing writes; ui/ maps each one to its control.
struct AffichageListage {
    std::string nb_fichiers_listes = "0";  // the file count, which stage 1 reads back
    std::string Label_nb_fic;
    std::string Label_nom_de_fichier;
    std::string Label_fic;
    std::string taille_fichier_lu;  // "1,54 Mo"
    std::string taille_totale = "---";
    // Time left or total size while reading, the reading time of a converted copy.
    std::string avancement = "---";
    std::string texte_nb_colonnes;
    std::string nb_lignes_donnees;  // data lines of the file pre-read
    std::string Label_date_min;
    std::string Label_date_max;
    std::string Label_date_heure_min;
    std::string Label_date_heure_max;
    bool Label_date_min_rouge = false;
    bool Label_date_max_rouge = false;
    std::string Label_col_alternatives;
    std::string legende_SpeedButton_lister;
    std::vector<std::string> apercu;  // the first lines of the file pre-read
};

// What one listing leaves for the next listing, the processing run and the window.
struct EtatInventaire {
    // The marked names; they carry the marks across a new listing.
    std::vector<std::string> ListBox_fic_coche;
    // The row of the first marked file, else 1: the file pre-read first.
    int premiere_ligne_lue = 1;
    TamponLignes tampon_fichier_lu;  // the line buffer of the last pre-read file
    PlageDonnees plage;
    ColonnesFichier colonnes;
    long long taille_totale_ko = 0;
    // Kilobytes the processing run has read, for the remaining-time estimate.
    long long ko_traites = 0;
    AffichageListage affichage;
};

// The session's own steps that stage 1 runs at their place.
struct ActionsEtape1 {
    // The sheet converted again; false when it could not be, the cause already shown.
    std::function<bool()> convertir_classeur;
    std::function<void()> copier_presse_papier;     // the clipboard copied again
    std::function<void()> enregistrer_description;  // a modified description saved
};

enum class FinListage {
    abandon,        // stage 1 ended before listing
    aucun_fichier,  // nothing matches the mask
    complet,        // every file listed
    interrompu,     // the user's stop request
    arrete,         // a failed pre-read or an answer to a question stopped it
};

struct ResultatListage {
    FinListage fin = FinListage::abandon;
    // The options with every correction the user accepted.
    Description description;
    bool description_corrigee = false;
    // The new value of the modified flag when the listing changed it.
    std::optional<bool> f_modif;
    // More than 150 files without pre-reading them all: the table was not worth drawing
    // while it filled.
    bool tableau_masque = false;
};

// The whole stage 1 (button "1  Valider et lister les fichiers *.*"): the question above
// 100 files to pre-read, the source copies, the listing, and the marks put back by name.
// The caller clears the stop request and zeroes the stopwatches before calling.
ResultatListage lister_fichiers_table(const Description& description, const SourceListage& source,
                                      bool f_modif, EtatInventaire& etat, TableFichiers& table,
                                      LecteurDateMesure& lecteur, JournalSuivi& journal,
                                      Dialogue& dialogue, Progression& progression,
                                      Lanceur& lanceur, const ActionsEtape1& actions = {});

// The listing alone, as the table's "réaf tableau complet" and the processing run call it.
ResultatListage lister(const Description& description, const SourceListage& source,
                       EtatInventaire& etat, TableFichiers& table, LecteurDateMesure& lecteur,
                       JournalSuivi& journal, Dialogue& dialogue, Progression& progression,
                       Lanceur& lanceur);

// The files of the data directory that match the mask, counted after a description is
// read or a directory chosen (the file count and the first name).
struct ComptageFichiers {
    int nb = 0;
    std::string premier;
};
ComptageFichiers compter_fichiers(const Description& description);

// The input a mask selects by its extension part (after its last "."): "XLS" or "ODS" in it a
// spreadsheet sheet, "PPP" the clipboard, else files.
ModeEntree mode_depuis_masque(std::string_view masque);
// The caption of the listing button for that input.
std::string legende_bouton_lister(ModeEntree mode, std::string_view masque);

// "#0.##" with the decimal comma: 1.536 → "1,54", 2.0 → "2".
std::string format_0_00(double valeur);

}  // namespace tarvo
