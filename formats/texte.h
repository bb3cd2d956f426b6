// Text helpers shared by every stage: field splitting, character classes, rewriting.
// Texts are Windows-1252 bytes; positions and field numbers are 1-based; only the
// space counts as a blank.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvo {

class JournalSuivi;

// Highest field number a line is split to.
inline constexpr int champ_max = 255;

// Field n of a line, trimmed of blanks, as a view into the line; empty when the field
// does not exist. With a blank separator runs of blanks count as one; any other
// separator is literal, so "a;;b" has an empty field 2 and ";a" an empty field 1.
// Quotes have no meaning.
//   champ_vue("a;b;;c", 4, ';') == "c"     champ_vue("  12   34 ", 2, ' ') == "34"
//   champ_vue(",Date,Time", 2, ',') == "Date"
std::string_view champ_vue(std::string_view texte, int n, char separateur);
std::string extraire_champ(std::string_view texte, int n, char separateur);

// Every field of a line written by a database or a spreadsheet, which quotes its fields:
// a field whose text (blanks aside) opens with '"' runs to its closing quote, separators
// included, "" inside standing for one '"'; the text after the closing quote up to the next
// separator is kept after the value; a quote never closed runs to the end of the line. A
// field that does not open with a quote is cut as champ_vue cuts it, trimmed. A separator
// that ends the line ends an empty field, and a line without a separator is one field,
// empty when the line is (a blank separator aside, whose fields are words). The values
// are written into `valeurs`, which the views point into; fields beyond champ_max are
// dropped.
//   "\"1053,22\",\"a \"\"b\"\"\", x" with ',' → {"1053,22", "a \"b\"", "x"}
//   "Date Heure,Level,Temp," with ',' → {"Date Heure", "Level", "Temp", ""}
void decouper_champs_guillemets(std::string_view ligne, char separateur, std::string& valeurs,
                                std::vector<std::string_view>& champs);
// Field n of such a line, empty when it does not exist.
std::string extraire_champ_guillemets(std::string_view texte, int n, char separateur);
// The columns of such a line: its fields, at least one.
int nb_champs_guillemets(std::string_view ligne, char separateur);
// Field n read with or without the quotes, as the description says.
std::string extraire_champ(std::string_view texte, int n, char separateur, bool guillemets);
// The fields of such a line joined by tabulations, the form the column titles are kept in;
// a tabulation inside a value becomes a blank.
//   "\"Date Time, GMT\",\"Temp, °C\"" with ',' → "Date Time, GMT\tTemp, °C"
std::string champs_tabules_guillemets(std::string_view ligne, char separateur);

int nb_car(char c, std::string_view texte);
// Characters from "A" to "z" in code order (letters and the six signs between them).
int nb_lettres(std::string_view texte);
// Digits, "+", "," and "." ("-" does not count).
int nb_car_numeriques(std::string_view texte);
// Blanks and the characters from "+" to ":" in code order.
int nb_car_num_ou_blanc(std::string_view texte);

std::string remplacer_car(char a, char b, std::string_view texte);
std::string chiffres_vers_car(char c, std::string_view texte);
std::string supprimer_car(char c, std::string_view texte);
std::string remplacer_premier(std::string_view cherche, std::string_view remplacement,
                              std::string_view texte);
// Repairs accented letters written as UTF-8 and read as Windows-1252 ("Ã©" → "é").
std::string reparer_accents(std::string_view texte);
// "5" → "05"; other texts unchanged.
std::string deux_chiffres(std::string_view texte);
// Pads with c to width + 1 characters when the text is not longer than width.
std::string completer_a_droite(std::string_view texte, int largeur, char c);

std::string_view rogner(std::string_view texte);
std::string_view rogner_gauche(std::string_view texte);
std::string_view rogner_droite(std::string_view texte);
// Runs of blanks become one blank.
std::string reduire_blancs(std::string_view texte);
// Upper case of the Windows-1252 letters, accented ones included.
std::string majuscules(std::string_view texte);
bool contient(std::string_view texte, std::string_view cherche);

// The length when every character is a digit, else 0.
int que_des_chiffres(std::string_view texte);
// Two digits, ":", two digits somewhere in the text.
bool contient_heure(std::string_view texte);
bool texte_vers_bool(std::string_view texte);
std::string bool_vers_texte(bool valeur);

// A blank-aligned line to a separated one; a one-letter word joins the word before it.
//   blancs_vers_separateur("Date  Heure  Temp C", ';') == "Date;Heure;Temp_C"
std::string blancs_vers_separateur(std::string_view texte, char separateur);
// Column counts of a blank-aligned title line and data line, both written to the log.
std::pair<int, int> comparer_nb_colonnes(std::string_view titre, std::string_view donnees,
                                         JournalSuivi& journal);

// A value as a message quotes it (Windows-1252): its first 200 characters, then "…" when
// there were more, so that a value of a megabyte is never echoed whole.
//   citer(std::string(300, 'a')) == std::string(200, 'a') + "\x85"
inline constexpr std::size_t longueur_citee = 200;
std::string citer(std::string_view cp1252);

// A byte as "\xHH", the way a control character is shown.
std::string octet_echappe(unsigned char octet);
// Control characters other than tab (C0 and DEL) shown that way, so that a name or a line
// from a data file can neither split a line of a text file nor command a terminal.
//   echapper_controles("a\nb\x1B") == "a\\x0Ab\\x1B"
std::string echapper_controles(std::string_view texte);

// Directories are kept with a final separator; this platform's separator is "/".
inline constexpr char separateur_dossier = '/';
std::string ajouter_antislash(std::string_view chemin);

// "### ### ### ##0": thousands set apart by a blank, no leading blanks (5898 → "5 898").
std::string format_entier_groupe(long long valeur);

// An elapsed time in days as " 1 h 2 mn 5 s ", " 3 mn 0 s " or " 42 s"; whole days
// are not shown.
std::string duree_texte(double jours);

// Whole seconds as "hh:mm:ss", hours beyond 24 kept, below 0 read as 0: 3725 → "01:02:05".
// Every clock text of the program goes through it; each caller rounds its own way.
std::string hh_mm_ss(long long secondes);

// The three stage stopwatches shown together, in seconds; "00:" hours are dropped.
//   texte_durees(5, 75, 3700) == "durées  00:05   01:15   01:01:40   totale 01:03:00"
std::string texte_durees(double liste, double grille, double traitement);

}  // namespace tarvo
