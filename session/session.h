// The state the main window shares between its stages, and the commands of stages 1 and 2
// and of the description, without the window: the window and the batch program are two
// thin drivers of these commands.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "description/description.h"
#include "description/fichier_description.h"
#include "description/fichiers_programme.h"
#include "engine/extraction.h"
#include "engine/grille.h"
#include "engine/table_etapes.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "inventory/listing.h"
#include "inventory/table_fichiers.h"
#include "output/enregistrement.h"
#include "output/formatage.h"
#include "plateforme/presse_papier.h"

namespace tarvo {

class Dialogue;
class Lanceur;
class Progression;
class SortieAudio;

// How a processing run ended.
enum class FinTraitement {
    refuse,          // a check or a setting stopped it before anything was read
    abandonne,       // the user answered a question by cancelling the run
    termine,         // the result file is written (all files, or up to a stop request)
    echec_ecriture,  // computed, but the result or tracking file could not be written
};

// What a file dialog of a description command shows: its title, the directory it opens in,
// its filter as "label|pattern|label|pattern", the file name it proposes.
struct DemandeFichier {
    std::string titre;
    std::string dossier;
    std::string filtre;
    std::string nom;
};

// The directory chooser the window must open after a command, if any.
enum class ChoixRepertoireDemande { aucun, donnees, description, sortie };

// "date EXE jj/mm/aaaa hh:mm:ss": when the program file was last written, local time.
std::string texte_date_programme(std::string_view chemin_programme);

// The end-of-run shutdown: asked for by `CheckBox_arret_PC`, then counted down over the
// file table for five minutes in which any key cancels it.
struct ArretMachine {
    bool demande = false;
    bool annule = false;
    bool compte_a_rebours_visible = false;
    std::string compte_a_rebours;  // "    4.97 mn"
};

class Session {
public:
    Session(Dialogue& dialogue, Progression& progression, Lanceur& lanceur,
            PressePapier& presse_papier, std::string_view dossier_programme);
    // Without a clipboard (the batch program).
    Session(Dialogue& dialogue, Progression& progression, Lanceur& lanceur,
            std::string_view dossier_programme);

    // --- start-up
    // The description named on the command line (its first argument, quotes removed), made
    // absolute from the current directory.
    void lire_argument(const std::vector<std::string>& arguments);
    // What the window does when it is created, then at its first activation.
    void creation();
    void premiere_activation();

    // --- description commands (the chosen path is the file dialog's answer; nothing
    // means the dialog was cancelled)
    // false when nothing was read or written.
    enum class SensDescription { lire, ecrire };
    bool lire_ecrire_description(SensDescription sens);
    void charger_description();
    void choisir_description(std::optional<std::string> chemin);
    void enregistrer_description();
    void enregistrer_description_sous(std::optional<std::string> chemin,
                                      bool depuis_nouveau = false);
    // "Nouveau": `choisir` runs the save dialog once the user has agreed.
    void nouvelle_description(const std::function<std::optional<std::string>()>& choisir);
    void nouvelle_description(std::optional<std::string> chemin) {
        nouvelle_description([&] { return chemin; });
    }
    // The path of the current description file.
    std::string chemin_description_courante() const;
    // The open dialog of "Choix du fichier de description" and the save dialog of
    // "Enregistrer sous ..." (from "Nouveau" or not).
    DemandeFichier demande_choix_description() const;
    DemandeFichier demande_enregistrer_sous(bool depuis_nouveau) const;
    // The open dialog over the output directory, whose choice opens in the text editor.
    DemandeFichier demande_repertoire_sortie() const;
    // A setting of the description was changed on screen.
    void marquer_modifie();
    // Before another description replaces unsaved changes: the user saves them (Oui), drops
    // them (Non) or stops the command (Annuler, or a save that did not happen): false then.
    bool enregistrer_avant_remplacement();
    // Every setting as a description file without keys gives it.
    Description description_par_defaut() const;
    // Another description is taken up: the listing, the file shown and the results of the
    // previous one leave the screen with it.
    void oublier_description_precedente();

    // Any change of the grid's start, end, step, unit or date test: the grid is
    // discarded, the summary redone, and the settings are saved with the next write.
    void parametres_grille_modifies();

    // --- spreadsheet and clipboard input, each turned into one ";"-separated copy in the
    // program directory that the listing reads as its single file
    // Sheet `Edit_num_feuille_excel` of the workbook to "~tmp_xls.csv"; false, after a
    // message, when nothing was converted.
    bool convertir_excel(std::string_view chemin_classeur);
    // The clipboard text to "~presse-papier.ppp", tabulations turned into ";".
    bool importer_presse_papier();
    // The exit button and the Escape key: true when the program is to end, its description
    // and grid saved and its work files removed.
    bool quitter();

    // "lister les colonnes": the columns of the last listing and the extraction list, in
    // the tracking log.
    void lister_colonnes();

    // --- stages
    ResultatListage lister_fichiers();  // 1: list and pre-read
    const Grille& creer_grille();       // 2: the regular time grid
    FinTraitement traiter();            // 3: process, with its checks and questions
    // Why the output name cannot name the result file, as shown; empty when it can.
    std::string refus_nom_resultat() const;
    // Names and writes the result and tracking files of the last run ("sauver ->" too).
    // Whether the result (or, with no run to save, the description) was written.
    bool enregistrer_resultats();
    // The save dialog, when the user refuses to overwrite; unset means cancelled.
    ChoixFichierSortie choisir_fichier_sortie;
    // "sauver ->": outside a run it saves the description, then names the last result;
    // during a run it writes the rows formatted so far.
    void sauver();
    // "sans col DateTime": the values-only lines to "~tmp.txt", `texte_sans_coldate` and the
    // clipboard; false when there is nothing to copy.
    bool copier_sans_coldate();
    std::string texte_sans_coldate;
    // The description's save dialog, for a temporary description given a final name.
    std::function<std::optional<std::string>()> choisir_nom_description;
    // The stop button: asks, then sets the stop request that the run sees.
    void demander_arret();
    // The end-of-run shutdown: five minutes in which any key cancels it, then the power-off
    // command. `horloge` gives seconds, `dormir` waits milliseconds. True when asked.
    bool attendre_arret_pc(const std::function<double()>& horloge,
                           const std::function<void(int)>& dormir);
    ArretMachine arret_pc;
    // After a run that took over a minute: nine short random tones.
    void jouer_son_de_fin(SortieAudio& sortie, std::ostream& messages);

    // The batch program reads descriptions but never writes them or the files beside
    // the program, and never proposes other directories: its options name them.
    bool lecture_seule = false;
    bool demande_stop = false;
    bool traitement_en_cours = false;
    double heure_debut_traitement = 0;
    TableEtapes etapes;
    ResultatExtraction extraction;
    ListesResultats listes;
    std::string fichier_resultat;                   // written by the last run; empty when none
    ResultatEnregistrement dernier_enregistrement;  // what the window shows of the last save
    // Time spent listing and building the grid, in days, for the run summary.
    double chrono_liste = 0;
    double chrono_grille = 0;

    // --- shared state, read by the window
    Description description;
    std::string Label_description_bd;
    std::string Label_rep_description;
    bool f_modif = false;
    bool grille_modifiee = false;
    bool en_demarrage = true;
    CouleursEnregistrement couleurs_enregistrement;
    ChoixRepertoireDemande choix_repertoire = ChoixRepertoireDemande::aucun;

    std::string fichier_argument;
    std::string dossier_argument;
    std::string dossier_derniere_description;
    std::string titre_programme;
    std::string fichier_prm;
    std::string fichier_2dt;
    ParametresPrm parametres_prm;

    ParametresGrille parametres_grille;
    ResumeGrille resume_grille_affiche;
    int SpinEdit_decalage_jour = 0;
    ReglagesLecture lecture;
    Grille grille;

    SourceListage source;
    EtatInventaire inventaire;
    TableFichiers table;
    // One sort direction for the whole table, inverted by every sort.
    bool tri_croissant = true;
    // The graph window's title, which follows the station marks.
    std::string titre_graphique = "Graphiques";
    LecteurDateMesure lecteur;
    JournalSuivi journal;

private:
    // The checks and questions before a run: false when one refuses it.
    bool accepter_traitement();
    void afficher_enregistrement();
    void appliquer_fichier_2dt();
    ParametresGrille2dt grille_vers_2dt() const;
    void apres_lecture();
    // The grid's start, end, step, unit and date test from the period the description was
    // last run on; unchanged when it holds none.
    void periode_de_la_description();
    ContexteDescription contexte() const;

    // The last read stopped at a bad key: what the record holds is not the file's.
    bool lecture_interrompue_ = false;
    // The result lists hold rows of the run under way, not of the previous one.
    bool formatage_commence_ = false;
    // The stop request ended the reading or the formatting of the run under way.
    bool interrompu_ = false;
    // Before anything is read: false when the period meets none of the files' dates and the
    // user does not want its all-NA result.
    bool accepter_periode();
    PressePapierAbsent sans_presse_papier_;
    Dialogue& dialogue_;
    Progression& progression_;
    Lanceur& lanceur_;
    PressePapier& presse_papier_;
    std::string dossier_programme_;
};

}  // namespace tarvo
