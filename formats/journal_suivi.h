// The tracking log: the ordered lines that record every stage of a session.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// What a line that reports a problem of the data or of a setting is about, as opposed to
// the lines that only record what was done. A driver picks problem lines by this, never by
// their words.
enum class ProblemeSuivi {
    erreur_date,              // a date that cannot be read, or is corrected
    date_inversee,            // day and month swapped, then corrected
    erreur_date_nom_fichier,  // a date in a file name that cannot be read
    nom_fichier_sans_date,    // a file-name code that gives no date
    fichier_vide,             // a data file without a byte
    fichier_sans_donnees,     // a data file without a data line, left out of the run
    fichier_non_lu,           // an entry matching the mask that is no file (FIFO, device…)
    une_seule_colonne,        // a separator that leaves no measurement column
    intitules_manquants,      // a title line that names fewer columns than the data hold
    liste_horodatee_vide,     // no step to fill
    ligne_illisible,          // a data line whose date cannot be placed (first ones)
    lignes_illisibles_suite,  // the same, past the first ones
    ligne_trop_longue,        // a line cut by the pre-reading, past the longest a logger writes
    seconde_ajoutee,          // a repeated time moved by a second
    jour_ajoute,              // a time that went back moved by a day
    dates_desordonnees,       // a file whose dates go back: its last line is not its latest
    conversion_impossible,    // a value that is not a number (first ones)
    // The counts of the four above, at the end of a file.
    nb_lignes_illisibles,
    nb_conversions_impossibles,
    nb_jours_ajoutes,
    nb_secondes_ajoutees,
    liste_partielle,           // a run stopped before its last file
    regression_non_effectuee,  // a gap too wide to fill
};

class JournalSuivi {
public:
    // One problem line: its index in `lignes()` and what it is about.
    struct Probleme {
        std::size_t ligne;
        ProblemeSuivi probleme;
        bool operator==(const Probleme&) const = default;
    };

    // Appends the line unless the log already holds two lines or more and its last line
    // is the same text, so that a repeated problem does not flood the log.
    void ajouter_suivi(std::string_view texte);
    // The same for a line that reports a problem, kept with its identity.
    void ajouter_probleme(ProblemeSuivi probleme, std::string_view texte);

    const std::vector<std::string>& lignes() const { return lignes_; }
    // The problem lines, in the order of the log.
    const std::vector<Probleme>& problemes() const { return problemes_; }
    void vider() {
        lignes_.clear();
        problemes_.clear();
        debut_run_ = 0;
    }
    // A tracking file documents one run: the log from where the previous run ended, so the
    // listing and grid made for this run, but no earlier run.
    void terminer_run() { debut_run_ = lignes_.size(); }
    std::size_t debut_run() const { return debut_run_; }

private:
    bool repetee(std::string_view texte) const;

    std::vector<std::string> lignes_;
    std::vector<Probleme> problemes_;
    std::size_t debut_run_ = 0;
};

}  // namespace tarvo
