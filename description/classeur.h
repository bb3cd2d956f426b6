// Reads one sheet of a workbook (.xlsx/.xlsm, .xls, .ods) without a spreadsheet
// application and writes it as the ";"-separated converted file that the listing reads.
#pragma once

#include <string>
#include <string_view>

namespace tarvo {

struct ResultatConversion {
    bool reussi = false;
    std::string nom_feuille;    // for Label_nom_feuille (Windows-1252)
    std::string erreur;         // French message for the user when !reussi
    bool feuille_vide = false;  // the sheet holds no value: erreur is " problème, memo1 vide!!!"
    long long nb_lignes = 0;
};

// Writes sheet `numero_feuille` (1-based, below 1 reads 1) of the workbook to `chemin_csv`:
// one CR LF line per row of the used range (the rectangle from the first to the last row and
// column holding a value), its cells joined by ";", an empty field for an empty cell. The file
// is streamed to a temporary beside the target and renamed at the end; on any error, and for
// an empty sheet, the target is left as it was. Damaged or password-protected workbooks give
// an error message, never a crash (an .xls is read in a child process, as libfreexl can fault
// on a damaged one); a used range beyond 30,000,000 cells is refused.
//   sheet "Mesures": A1 "date", B1 "niveau"; A2 25/12/2023 08:05 (date-time format), B2 1.5
//   → "date;niveau\r\n25/12/2023 08:05:00;1,5\r\n", nom_feuille "Mesures"
//
// Cell texts:
// - strings as stored (shared or inline), in Windows-1252 ("?" for other characters); a line
//   break or tab inside a cell becomes a blank so that a row stays one line;
// - booleans "VRAI" / "FAUX", as the French spreadsheet copies them (an .xls gives 1 / 0:
//   libfreexl reads them as integers);
// - numbers in shortest round-trip form with "," as decimal mark (1.5 → "1,5", 1e6 →
//   "1000000"; exponent form only below 1e-5 or from 1e15);
// - numbers whose format is a date become "jj/mm/aaaa hh:mn:ss", "jj/mm/aaaa" or
//   "hh:mn:ss", rounded to the second (see genre_format_nombre).
ResultatConversion convertir_classeur(std::string_view chemin_classeur, int numero_feuille,
                                      std::string_view chemin_csv);

namespace classeur {

enum class GenreDate { aucun, date, heure, date_heure };

// Which number formats are dates. Built-in ids (.xlsx/.xls): 14–17 date, 18–21 time,
// 22 date-time, 45–47 time. A custom format code is read outside quoted text, [brackets]
// (colours, locales, elapsed [h]) and characters escaped by "\", "_" or "*": it holds a date
// part when it holds d or y (or an m with no h or s anywhere), a time part when it holds h or s.
//   "dd/mm/yyyy hh:mm" → date_heure   "[h]:mm:ss" → heure   "0.00\"d\"" → aucun
GenreDate genre_format_predefini(int id);
GenreDate genre_format_nombre(std::string_view code);

// Shortest round-trip text of a number with "," as decimal mark.
std::string texte_nombre(double valeur);

// A timestamp (days since 30/12/1899) as the text of its kind; empty when out of range.
std::string texte_date(double jours, GenreDate genre);

// "2023-12-25", "2023-12-25T08:05:00[.5]" (ODS, ISO cells) to a timestamp; -1 when unusable.
double date_iso(std::string_view texte);

// The .xls conversion in the calling process, which convertir_classeur runs in a child: the
// fuzzer sees no coverage through a child. A fault of libfreexl ends the caller.
ResultatConversion convertir_xls_ici(std::string_view chemin_classeur, int numero_feuille,
                                     std::string_view chemin_csv);

}  // namespace classeur

}  // namespace tarvo
