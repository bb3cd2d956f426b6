// Reading a sample data file to check and propose the line layout of a description, and
// the checks a description field runs when the user leaves it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "description/description.h"

namespace tarvo {

class Dialogue;

// The description name that says what it reads: "Temporaire.DSC", mask "*.dat", separator
// ";" → "Temporaire_(__dat ;).dsc"; a name that already holds a code keeps only its base.
std::string nom_description_propose(std::string_view nom, const Description& d);

// A sample of another file family starts from `defauts`, with what the analysis then checks
// against the sample (titles, their line, the first data line, the column separator, the
// mask), the user's own choices (editor, floating help, colours) and the description and output
// directories taken from `actuelle`: nothing else of the other family may read this one.
Description description_autre_famille(const Description& actuelle, Description defauts);

// The four column separators of one line, counted each on its own.
struct ComptesSeparateurs {
    int tabulations = 0;
    int blancs = 0;
    int points_virgules = 0;
    int virgules = 0;
};
ComptesSeparateurs compter_separateurs(std::string_view ligne);

// The separator index (0 tab, 1 blank, 2 ";", 3 ",") whose count beats the three others; a
// blank majority with more than three ";" and more tabs than commas is ";". Nothing on a tie.
std::optional<int> separateur_propose(const ComptesSeparateurs& c);

// "tabulation", "espace", "point-virgule", "virgule".
std::string nom_separateur(int indice);

// A line of column titles has more letters than numeric characters.
bool ressemble_a_intitules(std::string_view ligne);

// The 0-based line where the analysis starts: the first holding the start tag when data are
// located by tags (the number of lines when none does), else 0.
int ligne_depart(const std::vector<std::string_view>& lignes, const Description& d);

// The questions of the analysis, built from the line they are about.
std::string question_intitules_sans(int a, std::string_view ligne);
std::string question_intitules_avec(int a, std::string_view ligne);
std::string question_pas_de_ligne_intitules(std::string_view ligne);
std::string question_separateur(std::string_view ligne, const ComptesSeparateurs& c, int propose,
                                int actuel);
std::string question_ligne_donnee(int a, std::string_view num_ligne_donnee, std::string_view ligne);
std::string question_intitules_vides(int n, int k, std::string_view titre,
                                     std::string_view precedente, std::string_view ligne);
std::string question_intitules_precedente(int n, std::string_view precedente);

// Scans the first s + 100 lines, asks about the title line, the first data line and the
// separator in that order, and applies what the user accepts. True when the description
// changed in a way that must be saved. Throws std::invalid_argument when a line-number
// field does not hold an integer.
bool analyser_exemplaire(const std::vector<std::string_view>& lignes, Description& d,
                         Dialogue& dialogue);

// A line written with quoted fields: it opens with '"' (past a UTF-8 mark and blanks), or
// one of its fields, cut by the separator, does.
bool ligne_entre_guillemets(std::string_view ligne, char separateur);
std::string question_champs_guillemets(std::string_view ligne);

// Follows the scan: when the sample's title line or first data line is quoted and the
// description reads quotes as text, proposes to read quoted fields. True when accepted.
// Throws as analyser_exemplaire does.
bool proposer_champs_guillemets(const std::vector<std::string_view>& lignes, Description& d,
                                Dialogue& dialogue);

// What leaving an edit field leaves in it, and the message to show first (empty: none).
struct ControleChamp {
    std::string valeur;
    std::string message;
    bool modifie = false;  // the text changed
};

// `Edit_col_cochee`: the list cleaned and stripped of the date/time columns; the message
// only when the extraction box is ticked.
ControleChamp controler_col_cochee(std::string_view texte, const Description& d);
// `Edit_format_datetime_mesure` (also left from the time-only field).
ControleChamp controler_format_datetime(std::string_view texte);
// `Edit_format_date_mesure_seule`: any time part is dropped.
ControleChamp controler_format_date_seule(std::string_view texte);
// `Edit_f_date_fichier`.
ControleChamp controler_date_fichier(std::string_view texte);
// `Edit_masque`: the name pattern as typed, without the blanks around it, which the
// description file would not keep.
ControleChamp controler_masque(std::string_view texte);
// `Edit_equiv_na`: a comma between two words separates two equivalences.
ControleChamp controler_equiv_na(std::string_view texte);

}  // namespace tarvo
