// The regular time grid: the list of timestamps the result carries in its first column,
// built from the period and step chosen in the window, with the checks and questions
// that come before it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class Dialogue;
class JournalSuivi;
class Progression;
struct Description;

// Values of `unite_pas`.
inline constexpr int unite_hms = 0;
inline constexpr int unite_jour = 1;
inline constexpr int unite_mois = 2;
inline constexpr int unite_annee = 3;

// The grid settings as the window holds them. The measurement offset is not here: the
// build only reads it for the extraction, which takes it from the description.
struct ParametresGrille {
    std::string Label_temps_deb;  // "jj/mm/aaaa hh:mn:ss"
    std::string Label_temps_fin;
    double TimePicker_pas = 0.0;  // time of day, as a fraction of a day
    int SpinEdit_pas_jour_mois_annee = 1;
    int unite_pas = unite_hms;
    int test_strict = 0;  // 0 "(inf ou =)", 1 "(inf strict)"
};

// Step length in days, positive: the time for unit 0, N days, N × 30 or N × 365, N taken
// within the 1..400 of its control and an unknown unit read as unit 0. Months and years
// only use this for counts and progress; their timestamps follow the calendar.
double pas_jours(const ParametresGrille& parametres);

enum class CouleurResume { inchangee, rouge, bleu };

// The grid summary shown under the period, and its colour ("---" leaves the colour as it is).
struct ResumeGrille {
    std::string texte;
    CouleurResume couleur = CouleurResume::inchangee;
    bool operator==(const ResumeGrille&) const = default;
};

// The summary shown on every change of start, end, step or unit: the rows the result will
// hold (start to end inclusive), then the whole days from its first row to its last; red
// when the end is before the start.
//   01/01/2023 00:00 → 03/01/2023 12:00, 1 minute → "3 601 => 2 jours"
//   step 0 or end = start → "---"
ResumeGrille resume_grille(const ParametresGrille& parametres, JournalSuivi& journal);

enum class EtatGrille {
    construite,
    refusee,  // a setting makes a grid impossible: an error box was shown
    annulee,  // the user answered Annuler or Non
    arretee,  // the stop request ended the build: the rows made so far are kept
};

struct Grille {
    EtatGrille etat = EtatGrille::refusee;
    // The build empties `ListBox_date_clean` before its own checks; a refusal before
    // that (button 2's checks and question) leaves the caller's list as it was.
    bool liste_effacee = false;
    // `test_strict`, the start or the end was corrected: the caller shows the settings
    // again and sets `grille_modifiee`.
    bool parametres_modifies = false;
    // `ListBox_date_clean`: item 0 "_intitulés des colonnes", then one 19-character
    // timestamp text per row; dates[i] is the timestamp of items[i + 1], equal to what
    // texte_vers_date_heure gives for that text.
    std::vector<std::string> items;
    std::vector<double> dates;
    // One step after the last row: under "(inf strict)" a jour, mois or année row holds
    // [its date, the next date), the last one up to this date (0 when unknown).
    double date_suivante = 0.0;
    long long nb_lignes_grille = 0;
    double debut_grille = 0.0;
    double fin_grille = 0.0;
    // Built or stopped: the rows and their days. Through button 2, the count it agreed
    // to when the build then ends without a grid; otherwise empty.
    ResumeGrille resume;
    std::string Label_nr_final;
};

// Button 2: refuses a zero step or an end before the start, asks "Créer une nouvelle
// liste…", then builds.
Grille creer_liste_horodatee(ParametresGrille& parametres, Dialogue& dialogue,
                             Progression& progression, JournalSuivi& journal);

// The build, also run by the processing run when no grid exists. The calendar units ask
// for "(inf strict)" and for dates on a day, month or year boundary; Corriger changes
// `parametres`. While the window is being created nothing is written to the log but the
// heading.
Grille construire_grille(ParametresGrille& parametres, Dialogue& dialogue, Progression& progression,
                         JournalSuivi& journal, bool fenetre_en_creation = false);

// The weekday of a timestamp, "dimanche" … "samedi".
std::string jour_semaine(double date);

// The zero buttons of the start, end and step times (0, 1, 2): the question they ask,
// `heure` being that time as a fraction of a day.
//   0, 0.5 → "=== heure début ===\n\n  12:00:00\n\n mettre à\n\n  00:00:00   ?"
std::string question_mise_a_zero(int quoi, double heure);

// The unit shown beside the step count: "" for hours:minutes:seconds, "jour", "mois", "année".
std::string texte_unite_pas(int unite);

// The unit of a description's last period, as its key `unite_pas_dsc` holds it: empty for
// hh:mn:ss, else the count and the unit; nothing for any other text.
//   "" → hh:mn:ss     "2 jour" → 2 days     " 1 année " → 1 year     "jour" → nothing
struct UnitePas {
    int unite = unite_hms;
    int nombre = 1;
};
std::optional<UnitePas> lire_unite_pas_dsc(std::string_view texte);

// The period, step, unit and date test a description was last run with, as grid settings;
// nothing when it holds none: never run (its start is not before its end), a zero step or
// an unreadable unit.
std::optional<ParametresGrille> periode_de_description(const Description& description);
// A run leaves its grid settings in the description; true when they differ from those it held.
bool memoriser_periode(const ParametresGrille& parametres, Description& description);

// How every grid display writes a timestamp: its date-time text, " 00:00:00" added when
// that text is a bare date, so that midnight too has 19 characters.
std::string texte_grille(double date);

}  // namespace tarvo
