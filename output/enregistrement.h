// The end of a run: the result file named and written, copied to the clipboard, the
// tracking file and the run summary, and the box that closes the run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/extraction.h"
#include "output/formatage.h"
#include "output/nommage.h"

namespace tarvo {

class Dialogue;
class JournalSuivi;
class PressePapier;
class Progression;
class TableEtapes;
class TableFichiers;
struct Description;
struct ParametresGrille;

// Everything a save reads or changes; the session owns all of it.
struct ContexteEnregistrement {
    // The output directory may gain "EXPORT/" (and `f_modif` be set) before the name is chosen.
    Description& description;
    bool& f_modif;
    const ListesResultats& listes;
    const TableEtapes& etapes;
    const TableFichiers& table;
    const ParametresGrille& parametres_grille;
    JournalSuivi& journal;
    Dialogue& dialogue;
    Progression& progression;
    PressePapier& presse_papier;
    // The save dialog, opened when the user refuses to overwrite; empty = cancelled.
    ChoixFichierSortie choisir_fichier{};
    // Writes the description (and clears `f_modif`); run in the summary when f_modif is set.
    // True when the file was written.
    std::function<bool()> enregistrer_description{};

    std::string Label_description_bd{};
    std::string Label_nr_final{};        // the grid's row count text
    std::string Label_nlig_impliquee{};  // the run's extracted line count text
    int SpinEdit_decalage_jour = 0;
    std::string station{};  // of the last file the run read
    long long nb_dates_inversees = 0;
    long long nb_lignes_lues = 0;
    // Stopped by the user: the result holds the files as far as `fichiers` says, and the
    // rows formatted before the stop.
    bool interrompu = false;
    std::vector<FichierLu> fichiers{};
    // Lines whose date could not be placed, and the first of them.
    long long nb_lignes_rejetees = 0;
    std::string premiere_ligne_rejetee{};
    // The earliest and latest dates of the files read, as the file table shows them.
    std::string Label_date_heure_min{};
    std::string Label_date_heure_max{};
    // The clipboard was the input: it keeps its content.
    bool mode_presse_papier = false;
    // The machine is switched off after the run: no closing box.
    bool arret_pc_demande = false;
    // The batch program: nothing goes to the clipboard and the description is never
    // written, so the closing box says where the files went instead.
    bool lot = false;
    // Stopwatches of stages 1 and 2 in days, start of the run and now as timestamps.
    double chrono_liste = 0;
    double chrono_grille = 0;
    double heure_debut_traitement = 0;
    double maintenant = 0;
};

enum class EtatEnregistrement {
    enregistre,
    echec_resultat,  // nothing replaced: the old result and tracking files are whole
    echec_suivi,     // the result is in place, but the tracking file kept its old version
};

struct ResultatEnregistrement {
    EtatEnregistrement etat = EtatEnregistrement::echec_resultat;
    std::string chemin;          // the result file, once named
    std::string chemin_suivi;    // the tracking file
    std::string nom_resultat;    // the result file's name
    std::string texte_resultat;  // the text written, as the view shows it
    std::string temps_restant;
    std::string message_erreur;  // the file error shown to the user
    // Written, but no step of any data column holds a value: nothing but NA.
    bool aucune_valeur_valide = false;
    // The description had changes, and its file was written with the result.
    bool description_enregistree = false;
    bool reussi() const { return etat == EtatEnregistrement::enregistre; }
};

// The total duration a run reports: both stage stopwatches and the run itself.
double duree_totale(const ContexteEnregistrement& contexte);

// The "txt" mask over an output directory that is the data directory would list the
// results as input next time: they go to its "EXPORT/" subdirectory, created when missing.
// True when the output directory changed (the description is then modified).
bool appliquer_dossier_export(Description& description);

// The closing box of a run, stopped or not.
std::string texte_fin_traitement(const ContexteEnregistrement& contexte,
                                 const ResultatEnregistrement& resultat);
// Its warning instead when no line of the files fell into the period: the result holds
// nothing but NA, and the period or the dates are what to check.
std::string texte_aucune_ligne_extraite(const ContexteEnregistrement& contexte,
                                        const ResultatEnregistrement& resultat);

// Its warning instead when lines were read but every value written is NA (all below the
// lowest kept, all above the highest, or none readable as a number).
std::string texte_aucune_valeur_valide(const ContexteEnregistrement& contexte,
                                       const ResultatEnregistrement& resultat);

// Saves a run's results: export directory, name, result file, clipboard, tracking file
// with the summary in the log, and the closing box. A failure is shown as the file error
// and ends the save; the lists stay as they are.
ResultatEnregistrement enregistrer_resultats(ContexteEnregistrement& contexte);

// "sans col DateTime": the values-only list through "~tmp.txt" of the program directory to
// the clipboard (unless the clipboard was the input), then the information box. Nothing
// when the list is empty or the file cannot be written (the error is shown); else the text.
std::optional<std::string> copier_valeurs_seules(const ListesResultats& listes,
                                                 std::string_view dossier_programme,
                                                 bool mode_presse_papier,
                                                 PressePapier& presse_papier, Dialogue& dialogue);

}  // namespace tarvo
