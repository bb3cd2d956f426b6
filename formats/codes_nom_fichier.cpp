#include "formats/codes_nom_fichier.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <optional>
#include <vector>

#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"
#include "formats/texte.h"

namespace tarvo {

const std::vector<std::string>& codes_date_fichier_proposes() {
    static const std::vector<std::string> codes = {"aaaammjj,3",
                                                   "aaaa_mm_jj,3",
                                                   "2,3,4",
                                                   "(20)4,3,2",
                                                   "20aammjj",
                                                   "20aammjjhhmmss",
                                                   "3(xxxx),/,3(0000xx),/,3(000000xx)"};
    return codes;
}

namespace {

constexpr auto npos = std::string_view::npos;

// Masks longer than this were never meant: only their start is read.
constexpr std::size_t longueur_masque_max = 24;

// A date that passes every test but does not exist (31/02) is dated day 1, 31/12/1899,
// so that it sorts before every real date instead of vanishing.
constexpr double date_jour_inexistant = 1.0;

bool est_chiffre(char c) {
    return c >= '0' && c <= '9';
}

std::string_view sans_guillemets_autour(std::string_view t) {
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') return t.substr(1, t.size() - 2);
    return t;
}

// The syllables as champ_vue cuts them, split once: a station code may repeat items
// many times and must not rescan a long name for each one.
std::vector<std::string_view> decouper_syllabes(std::string_view nom, char separateur) {
    std::vector<std::string_view> syllabes;
    if (!nom.empty() && nom.front() == separateur) nom.remove_prefix(1);
    if (!nom.empty() && nom.back() == separateur) nom.remove_suffix(1);
    std::size_t debut = 0;
    while (syllabes.size() < static_cast<std::size_t>(champ_max)) {
        const std::size_t fin = nom.find(separateur, debut);
        syllabes.push_back(rogner(nom.substr(debut, fin == npos ? npos : fin - debut)));
        if (fin == npos) break;
        debut = fin + 1;
    }
    return syllabes;
}

std::string_view syllabe(const std::vector<std::string_view>& syllabes, long long n) {
    if (n < 1 || static_cast<unsigned long long>(n) > syllabes.size()) return {};
    return syllabes[static_cast<std::size_t>(n - 1)];
}

// A syllable number made of digits only; one too large for any name is "no syllable".
long long numero_syllabe(std::string_view chiffres) {
    long long n = 0;
    const auto [fin, erreur] =
        std::from_chars(chiffres.data(), chiffres.data() + chiffres.size(), n);
    return erreur == std::errc{} && fin == chiffres.data() + chiffres.size() ? n : 0;
}

std::string appliquer_masque(std::string_view syllabe_lue, std::string_view masque) {
    masque = masque.substr(0, std::min(masque.size(), longueur_masque_max));
    std::string garde;
    if (syllabe_lue.size() < masque.size()) return garde;
    for (std::size_t i = 0; i < masque.size(); ++i)
        if (masque[i] == 'x') garde += syllabe_lue[i];
    return garde;
}

// What one ","-item of a station code gives for the syllables of a name.
std::string_view morceau_station(std::string_view item,
                                 const std::vector<std::string_view>& syllabes,
                                 std::string& tampon) {
    const std::size_t parenthese = item.find('(');
    const std::string_view numero = item.substr(0, parenthese);
    if (que_des_chiffres(numero) > 0) {
        const std::string_view lue = syllabe(syllabes, numero_syllabe(numero));
        if (parenthese == npos) return lue;
        // The mask runs to the character before the last one, normally ")".
        const std::size_t debut = parenthese + 1;
        const std::string_view masque =
            debut < item.size() ? item.substr(debut, item.size() - 1 - debut) : std::string_view{};
        tampon = appliquer_masque(lue, masque);
        return tampon;
    }
    if (item == "E" || item == "e") return " ";
    return sans_guillemets_autour(item);
}

std::string sous_texte(std::string_view t, std::size_t position, std::size_t longueur) {
    if (position == npos || position >= t.size()) return {};
    return std::string(t.substr(position, longueur));
}

struct AnneeMoisJour {
    std::string annee, mois, jour;
};

// Year, month and day sit in the part where "aaaa" (or "aa"), "mm" and "jj" sit in the
// pattern.   ("2024-05-13", "aaaa_mm_jj") → 2024, 05, 13
AnneeMoisJour lire_selon_motif(std::string_view partie, std::string_view motif) {
    std::size_t position_annee = motif.find("aaaa");
    std::size_t longueur_annee = 4;
    if (position_annee == npos) {
        position_annee = motif.find("aa");
        longueur_annee = 2;
    }
    return {sous_texte(partie, position_annee, longueur_annee),
            deux_chiffres(sous_texte(partie, motif.find("mm"), 2)),
            deux_chiffres(sous_texte(partie, motif.find("jj"), 2))};
}

std::size_t premiere_serie_de_chiffres(std::string_view t, std::size_t longueur) {
    std::size_t serie = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        serie = est_chiffre(t[i]) ? serie + 1 : 0;
        if (serie == longueur) return i + 1 - longueur;
    }
    return npos;
}

std::size_t nb_chiffres(std::string_view t) {
    return static_cast<std::size_t>(std::count_if(t.begin(), t.end(), est_chiffre));
}

std::string car_numeriques(std::string_view t) {
    std::string garde;
    for (const char c : t)
        if (nb_car_numeriques(std::string_view(&c, 1)) == 1) garde += c;
    return garde;
}

// A code without item separator nor "(" is a pattern applied to the digits of the name,
// from its first run of six digits; nothing when the name gives the pattern no hold.
std::optional<AnneeMoisJour> lire_motif_seul(std::string_view nom, std::string_view motif) {
    const std::size_t serie = premiere_serie_de_chiffres(nom, 6);
    if (serie == npos) {
        if (motif != "aaaa_mm_jj" && motif != "jj_mm_aaaa") return std::nullopt;
        return lire_selon_motif(champ_vue(nom, 1, '_'), motif);
    }
    const std::size_t chiffres = nb_chiffres(nom);
    if (chiffres == 8) return lire_selon_motif(nom.substr(serie, 8), "aaaammjj");
    const std::string_view partie = nom.substr(serie, chiffres);
    const std::string siecle = car_numeriques(motif);
    if (siecle.size() == 2)
        return lire_selon_motif(siecle + std::string(partie), chiffres_vers_car('a', motif));
    return lire_selon_motif(partie, "aaaammjj");
}

char separateur_syllabes(std::string_view code) {
    const char dernier = code.back();
    if (est_chiffre(dernier)) return '_';
    return dernier == 'E' ? ' ' : dernier;
}

bool entre(std::string_view t, std::string_view min, std::string_view max) {
    return t >= min && t <= max;
}

bool dans_intervalle(std::string_view t, int min, int max) {
    const auto valeur = lire_entier(t);
    return valeur && *valeur >= min && *valeur <= max;
}

}  // namespace

std::string normaliser_nom(std::string_view nom) {
    std::string s(nom);
    if (const auto point = s.rfind('.'); point != std::string::npos) s.resize(point);
    const bool sans_souligne = s.find('_') == std::string::npos;
    for (char& c : s)
        if ((c == '-' && sans_souligne) || c == ' ' || c == ',' || c == ';') c = '_';
    return s;
}

std::string lire_code_station(std::string_view nom_fichier, std::string_view code) {
    if (!code.empty() && code.front() == '"') code.remove_prefix(1);
    if (!code.empty() && code.back() == '"') code.remove_suffix(1);
    const std::string_view nom_rogne = rogner(nom_fichier);
    if (nom_rogne.empty()) return {};

    std::string items(code);
    if (code.find(',') == npos) {
        const bool parentheses = contient(code, "(") && contient(code, ")");
        if (que_des_chiffres(code) == 0 && !parentheses) return items;
        items += ',';
    }

    std::string nom(nom_rogne);
    for (char& c : nom)
        if (c == ' ' || c == '-' || c == ',' || c == ';' || c == '.') c = '_';
    const std::vector<std::string_view> syllabes = decouper_syllabes(nom, '_');

    if (const std::size_t question = items.find('?'); question != std::string::npos) {
        const std::string_view tete = std::string_view(items).substr(0, question);
        const std::size_t derniere_virgule = tete.rfind(',');
        const std::string_view mot =
            derniere_virgule == npos ? tete : tete.substr(derniere_virgule + 1);
        const int n = lire_entier(tete.substr(0, tete.find(','))).value_or(1);
        std::string station(syllabe(syllabes, n));
        if (contient(majuscules(nom), majuscules(mot))) station.append("-").append(mot);
        return station;
    }

    // Repeating a long syllable could ask for more memory than there is; no real
    // station comes near this bound.
    const std::size_t longueur_max = std::max<std::size_t>(nom.size() + items.size(), 1 << 16);
    std::string station;
    std::string tampon;
    std::size_t debut = 0;
    for (;;) {
        const std::size_t virgule = items.find(',', debut);
        const std::string_view item = std::string_view(items).substr(
            debut, virgule == std::string::npos ? npos : virgule - debut);
        const std::string_view morceau = morceau_station(item, syllabes, tampon);
        station.append(morceau.substr(0, longueur_max - station.size()));
        if (virgule == std::string::npos || station.size() == longueur_max) break;
        debut = virgule + 1;
    }
    return station;
}

bool station_depuis_contenu(std::string_view code) {
    const std::string haut = majuscules(code);
    return contient(haut, "LIGNE") || contient(haut, "COLONNE");
}

DateNomFichier lire_date_nom_fichier(std::string_view nom_fichier, std::string_view code_saisi,
                                     JournalSuivi& journal, double date_du_jour) {
    DateNomFichier sans_date{{}, date_du_jour};
    std::string code(code_saisi);
    // Users of a ";" list separator type "2;3;4": it separates the items everywhere.
    const char sep = contient(code, ";") ? ';' : ',';

    // "3,aaaammjj" is "aaaammjj,3" written the other way round.
    if (nb_car(sep, code) == 1) {
        const std::size_t s = code.find(sep);
        const std::string premier = code.substr(0, s);
        const std::string second = code.substr(s + 1);
        if (!contient(premier, "aa") && contient(second, "aa")) code = second + sep + premier;
    }

    std::string nom = normaliser_nom(nom_fichier);

    std::string siecle;
    const int nb_parentheses = nb_car('(', code);
    const int nb_items = nb_car(sep, code) + 1;
    if (nb_parentheses == 1 && nb_items == 3 && code.front() == '(') {
        if (const std::size_t fermante = code.find(')'); fermante != std::string::npos) {
            siecle = code.substr(1, fermante - 1);
            code.erase(0, fermante + 1);
        }
    } else if (nb_parentheses == 0 && nb_items == 2) {
        const std::size_t s = code.find(sep);
        const int n = lire_entier(std::string_view(code).substr(s + 1)).value_or(0);
        if (n > 0) nom = extraire_champ(nom, n, '_');
        code.resize(s);
    }

    if (nom.empty() || code.empty() || nb_car_numeriques(nom) <= 5) return sans_date;

    // "SN123456-3_20211110": the name then starts at the dash, so a serial number in
    // front is not read as a date and station-style items count syllables as at "_".
    if (nb_car('-', nom) == 1) {
        const std::size_t tiret = nom.find('-');
        const std::size_t souligne = nom.find('_');
        if (souligne != std::string::npos && tiret < souligne) nom.erase(0, tiret);
    }

    AnneeMoisJour amj;
    if (!contient(code, std::string_view(&sep, 1)) && !contient(code, "(")) {
        const auto lue = lire_motif_seul(nom, code);
        if (!lue) return sans_date;
        amj = *lue;
    } else if (contient(code, "aa")) {
        const int n = champ_entier(code, 2, sep, 0);
        amj = lire_selon_motif(champ_vue(nom, n, separateur_syllabes(code)), code);
    } else if (!contient(code, "(")) {
        const auto n_annee = lire_entier(champ_vue(code, 1, sep));
        const auto n_mois = lire_entier(champ_vue(code, 2, sep));
        const auto n_jour = lire_entier(champ_vue(code, 3, sep));
        if (!n_annee || !n_mois || !n_jour) return sans_date;
        const char separateur = separateur_syllabes(code);
        amj.annee = siecle + std::string(champ_vue(nom, *n_annee, separateur));
        amj.mois = deux_chiffres(champ_vue(nom, *n_mois, separateur));
        amj.jour = deux_chiffres(champ_vue(nom, *n_jour, separateur));
        if (!entre(amj.jour, "01", "31") || !entre(amj.mois, "01", "12") || amj.annee.size() < 2 ||
            !est_chiffre(amj.annee[0]) || !est_chiffre(amj.annee[1])) {
            journal.ajouter_probleme(ProblemeSuivi::erreur_date_nom_fichier,
                                     " - erreur date : " + amj.annee + "/" + amj.mois + "/" +
                                         amj.jour + "  <" + nom + ">");
            return sans_date;
        }
    } else {
        // Station-style items build "aaaa/mm/jj", "jj/mm/aaaa" or "aaaammjj".
        const std::string t = lire_code_station(nom, code);
        if (t.size() == 10 && !est_chiffre(t[4]))
            amj = {t.substr(0, 4), t.substr(5, 2), t.substr(8, 2)};
        else if (t.size() == 10 && !est_chiffre(t[2]))
            amj = {t.substr(6, 4), t.substr(3, 2), t.substr(0, 2)};
        else if (t.size() == 8)
            amj = {t.substr(0, 4), t.substr(4, 2), t.substr(6, 2)};
    }

    const std::string ensemble = amj.annee + amj.mois + amj.jour;
    if (nb_lettres(ensemble) == 0 && nb_car_numeriques(ensemble) == 8 &&
        dans_intervalle(amj.annee, 1900, 2100) && dans_intervalle(amj.mois, 1, 12) &&
        dans_intervalle(amj.jour, 1, 31)) {
        const double date =
            date_civile(*lire_entier(amj.annee), *lire_entier(amj.mois), *lire_entier(amj.jour))
                .value_or(date_jour_inexistant);
        return {amj.annee + "/" + amj.mois + "/" + amj.jour, date};
    }
    journal.ajouter_suivi("");
    journal.ajouter_probleme(ProblemeSuivi::nom_fichier_sans_date,
                             "erreur : " + code + "  ne fournit pas de date avec <" + nom + ">");
    return sans_date;
}

DateNomFichier lire_date_nom_fichier(std::string_view nom, std::string_view code,
                                     JournalSuivi& journal) {
    return lire_date_nom_fichier(nom, code, journal, aujourdhui());
}

}  // namespace tarvo
