// The tracking file written beside every result (the run's settings, the file table and
// the whole log), the run summary the log receives at each save, and its NA statistics.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/extraction.h"

namespace tarvo {

class JournalSuivi;
class TableEtapes;
class TableFichiers;
struct Description;
struct ParametresGrille;

// What the tracking file and the summary quote, beyond the description and the grid.
struct RecapitulatifRun {
    std::string Label_description_bd;
    // The working name of the naming (see NomResultat::nom_travail).
    std::string nom_travail;
    long long nb_dates = 0;      // N, the grid dates
    int nb_colonnes = 0;         // C, the result columns
    long long nb_resultats = 0;  // result rows written (N − 1 unless stopped)
    std::string station;         // of the last file the run read
    int SpinEdit_decalage_jour = 0;
    std::string Label_nlig_impliquee;
    std::string Label_nr_final;
    long long nb_dates_inversees = 0;
    long long nb_lignes_lues = 0;  // measurement lines the run read
    std::string chemin_resultat;
    double duree_totale = 0;  // days
    // Stopped by the user: how far each file was read.
    bool interrompu = false;
    std::vector<FichierLu> fichiers{};
};

// The summary's account of a stop: the rows written against those due, then each file read
// whole, in part or not at all.
std::vector<std::string> lignes_interruption(const RecapitulatifRun& run);

// "(inf ou =)" for 0, "(inf strict)" for 1.
std::string legende_test_dates(int test_strict);

// The step as the tracking file writes it: "01:00:00", or "2 jour", "1 mois", "3 année".
std::string texte_pas_suivi(const ParametresGrille& grille);
// The step as the summary writes it: "01:00:00", or "2 jours", "1 mois", "1 année".
std::string texte_pas_resume(const ParametresGrille& grille);

// The tracking file is the result path + ".TXT".
std::string chemin_suivi(std::string_view chemin_resultat);

// Lines 1 to 14 of the tracking file: the settings of the run, then one line per row of the
// file table (titles first), each cell after a blank and a tab, its control characters
// escaped so that a name holding a line break keeps its row on one line.
std::vector<std::string> entete_suivi(const Description& description,
                                      const ParametresGrille& grille, const RecapitulatifRun& run,
                                      const TableFichiers& table);

// The values of a result that are not NA: per data column, written rows − NA texts.
long long nb_valeurs_utilisables(const TableEtapes& t, long long nb_resultats);

// The NA statistics of the summary: per data column, written rows − NA texts = usable.
//   3 rows, 1 NA in "T": "3 - 1 = 2  <- T"
std::vector<std::string> bilan_na(const TableEtapes& t, long long nb_resultats,
                                  std::string_view Edit_min_na, std::string_view Edit_max_na,
                                  long long nb_lignes_lues);

// Appends the run summary to the log. `enregistrer_description` runs at its place, before
// the lines naming the files, when the description has unsaved changes.
void ajouter_resume(JournalSuivi& journal, const Description& description,
                    const ParametresGrille& grille, const RecapitulatifRun& run,
                    const TableEtapes& t, bool f_modif,
                    const std::function<void()>& enregistrer_description);

// The whole tracking file: its header, an empty line, " Fenêtre de suivi" and the lines of
// the log since the previous run ended. Throws ErreurFichier when the stream fails.
void ecrire_suivi(std::ostream& sortie, const std::vector<std::string>& entete,
                  const JournalSuivi& journal, std::string_view quoi);

// The two lines the log receives once the tracking file is closed: an empty line and
// "hh:mm:ss  durée totale hh:mm:ss" (now, and the total the summary gives: listing, grid
// and run, so that the two totals of one run agree).
void ajouter_fin_suivi(JournalSuivi& journal, double maintenant, double duree_totale);

}  // namespace tarvo
