// The keys of a ".dsc" description as one table, and the text form of a description:
// reading, writing and defaults all come from that table.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "description/description.h"

namespace tarvo {

class JournalSuivi;

// How a value is written in the file and read back.
enum class Forme { booleen, texte, indice_radio, heure, date, dossier };

// A radio group's field: an enumeration (or an int) in the record, its index in the file.
struct ChampIndice {
    int (*lire)(const Description&);
    void (*ecrire)(Description&, int);
    constexpr bool operator==(const ChampIndice&) const = default;
};

template <auto membre>
constexpr ChampIndice champ_indice() {
    using Type = std::remove_cvref_t<decltype(std::declval<Description&>().*membre)>;
    return {[](const Description& d) { return static_cast<int>(d.*membre); },
            [](Description& d, int indice) { d.*membre = static_cast<Type>(indice); }};
}

// The field of the record that a key fills; its type follows the form (bool, text,
// radio index, double for times and dates).
using ChampDescription = std::variant<bool Description::*, std::string Description::*, ChampIndice,
                                      double Description::*>;

// Defaults known only when the program runs.
enum class DefautVariable { aucun, dossier_programme, maintenant };

struct CleDescription {
    std::string_view cle;  // exactly as in the file
    Forme forme;
    std::string_view defaut;  // as it would be written in the file
    DefautVariable variable;  // when set, replaces `defaut`
    ChampDescription champ;
};

inline constexpr std::size_t nb_cles_description = 71;

// The keys in the order they are written.
std::span<const CleDescription> cles_description();

// What the runtime defaults are made of.
struct ContexteDescription {
    std::string dossier_programme;  // with its final "/"
    double maintenant = 0;          // the current local date-time, as a timestamp
};

// The default text of a key, the runtime ones resolved.
std::string texte_defaut(const CleDescription& cle, const ContexteDescription& contexte);

Description description_par_defaut(const ContexteDescription& contexte);

// The value of a key in the lines of a description, or the default: the first line holding
// "=" whose text before it equals the key (letter case aside); the value runs to the next
// "=", blanks trimmed, accents repaired.
//   "edit_nom_fic_sortie.TEXT=  a=b " → "a"     "Edit_NA.text =x" → the default
std::string lire_cle(const std::vector<std::string>& liste_cles, std::string_view cle,
                     std::string_view defaut);

// The same lookup without the accent repair: nothing when no line holds the key, else the
// index of its line and its value.
struct LigneCle {
    std::size_t ligne;
    std::string_view valeur;
};
std::optional<LigneCle> chercher_cle(const std::vector<std::string>& liste_cles,
                                     std::string_view cle);

// One line "key= value" per key, each ended by CR LF.
std::string ecrire_description_texte(const Description& description);

struct ResultatLecture {
    // Empty when every key was applied; otherwise the message for the user, the keys before
    // the faulty one applied, the later ones untouched.
    std::string erreur;
    bool complete() const { return erreur.empty(); }
};

// Whether any line of the text holds a key of the table: an empty, binary or UTF-16 file
// holds none, and reading it would set every default.
bool contient_une_cle(std::string_view contenu);

// Applies every key of a description text to the record, in table order; a missing key
// takes its default. A radio index that is not an integer stops the read at that key.
ResultatLecture lire_description_texte(std::string_view contenu, Description& description,
                                       const ContexteDescription& contexte, JournalSuivi& journal);

// Value forms, also used by the companion files.
// A time-of-day text to a fraction of a day: "01:30:00" → 0.0625; "1:30" → 0.
double lire_heure(std::string_view texte, JournalSuivi& journal);
// "hh:mm:ss", rounded to the second; whole days are dropped.
std::string ecrire_heure(double heure);
// "dd/mm/yyyy", or "dd/mm/yyyy hh:mm:ss" when the time is not exactly midnight.
std::string ecrire_date(double date);

}  // namespace tarvo
