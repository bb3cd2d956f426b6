// Reading the time of one measurement line with the pattern the user typed
// ("aaaa_mm_jj_hh_mn_ss", "jj/mm/aaaa OU aaaa/mm/jj", "mm/jj/aa hh:mn:ss AM/PM souple"…)
// into the canonical date text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

class JournalSuivi;

// The patterns the three pick lists offer, in their order (Windows-1252), for the one-column
// date-time field, the date-only field and the time-only field.
const std::vector<std::string>& motifs_date_heure_proposes();
const std::vector<std::string>& motifs_date_proposes();
const std::vector<std::string>& motifs_heure_proposes();

// A fixed-position pattern compiled once: where the digits of each part stand, so that a
// usual line is read straight into its timestamp, as the general reader would read it.
struct PlanDate {
    static constexpr std::size_t npos = std::string_view::npos;
    std::size_t longueur = 0;  // the text must hold at least this many characters
    std::size_t aaaa = npos, mm = npos, jj = npos, hh = npos, mn = npos, ss = npos;
    // The timestamp, and the canonical text into `canonique` (19 characters) when given;
    // false for any text the general reader must look at (and perhaps log).
    bool lire(std::string_view texte, double& t, char* canonique = nullptr) const;
};

// The parser's state across the lines of one listing or run; its owner resets it with
// debut_listing() and debut_traitement(). Not reentrant: one listing or run at a time.
class LecteurDateMesure {
public:
    LecteurDateMesure();

    // Time text + pattern → canonical text; "??" for an empty text, the empty text when
    // no date can be read, "01/01/1900 00:00:00" for a pattern without year.
    //   ("2023-12-25T08:05:00", "aaaa_mm_jj_hh_mn_ss") → "25/12/2023 08:05:00"
    //   ("23/12/25 08:05:00",   "20aa_mm_jj_hh_mn_ss") → "25/12/2023 08:05:00"
    std::string lire_date_heure_mesure(std::string_view texte, std::string_view motif,
                                       JournalSuivi& journal);
    // The same into a caller's text, so that a loop over lines reuses its capacity.
    void lire_date_heure_mesure(std::string_view texte, std::string_view motif,
                                std::string& resultat, JournalSuivi& journal);

    // Day-first and month-first texts in one file ("multiformat", "OU" patterns).
    //   ("12/25/2023 08:00", "mm/dd/yyyy OU yyyy/dd/mm") → "25/12/2023 08:00:00"
    std::string lire_date_multiformat(std::string_view texte, std::string_view motif);

    // The pattern reads a line with what the lines before it gave ("multiformat", "OU"):
    // such lines must be read one after the other.
    static bool lecture_ordonnee(std::string_view motif);

    // The plan of a pattern whose lines are read by position alone, four-digit year, date and
    // time in the text; nothing for the other patterns. A text the plan reads leaves the
    // reader as lire_date_heure_mesure would, once inversion_signalee is set to 0.
    std::optional<PlanDate> plan_position_fixe(std::string_view motif);

    // A listing starts: the pattern is normalised again at its first line.
    void debut_listing();
    // A run starts: it compares its first line with the reference left by the listing.
    void debut_traitement();
    // Today's date as "jj/mm/aaaa", put in front of time-only texts.
    void fixer_aujourdhui(std::string_view jj_mm_aaaa) { aujourdhui_ = jj_mm_aaaa; }

    std::string format_normalise;
    std::string date_fixe;
    double date_reference_multiformat = 0;
    bool premiere_date_multiformat = true;
    int nb_dates_inversees = 0;
    int inversion_signalee = 0;
    // Set while a result zone is chosen: the flexible ("souple") patterns then read the UTC
    // offset written after a time ("Z", "+01:00", "GMT-07:00"…) into decalage_utc_lu, in
    // seconds east of UTC, instead of ignoring it; nothing when the text holds none.
    bool lire_decalage_utc = false;
    std::optional<int> decalage_utc_lu;

private:
    // Where each group stands in a normalised pattern (npos when absent).
    struct Positions {
        std::size_t aaaa, aa, mm, jj, hh, mn, ss;
    };
    struct GroupeSouple {
        char champ;          // 'A' 4-digit year, 'a' 2-digit year, 'm', 'j', 'h', 'n', 's'
        std::string siecle;  // the century written before a 2-digit year
    };
    static Positions positions(std::string_view motif);
    void normaliser(std::string_view motif);
    void preparer_motif(std::string_view motif);
    void lire_position_fixe(std::string_view texte, std::string& resultat, JournalSuivi& journal);
    void lire_souple(std::string_view texte, std::string_view motif, std::string& resultat,
                     JournalSuivi& journal);
    void lire_numerique(std::string_view texte, std::string_view motif, std::string& resultat);

    // The kind of the last pattern seen, so that each line does not search it again.
    enum class Genre { position_fixe, souple, multiformat, numerique };
    std::string motif_vu_;
    Genre genre_vu_ = Genre::position_fixe;

    std::string aujourdhui_;
    std::string tampon_;
    // The pattern a line is read with, derived once from format_normalise.
    std::string cle_motif_lu_;
    std::string motif_lu_;
    Positions positions_lu_{};
    bool ajouter_minuit_ = false;
    bool heure_seule_ = false;
    bool compact_ = false;
    bool heure_entiere_ = false;
    std::size_t longueur_date_ = 0;
    std::string motif_souple_;
    std::vector<GroupeSouple> groupes_souples_;
    bool ampm_souple_ = false;
};

}  // namespace tarvo
