#include "formats/texte.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"

namespace tarvo {

namespace {

bool est_chiffre(char c) {
    return c >= '0' && c <= '9';
}

unsigned char octet(char c) {
    return static_cast<unsigned char>(c);
}

// Flags of the bytes equal to c among the 16 bytes at p, bit k for byte k.
unsigned drapeaux16(const char* p, char c) {
#if defined(__SSE2__)
    const __m128i octets = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(octets, _mm_set1_epi8(c))));
#else
    unsigned m = 0;
    for (unsigned k = 0; k < 16; ++k) m |= static_cast<unsigned>(p[k] == c) << k;
    return m;
#endif
}

// The same for the 16 bytes of t from i, bit k for byte i + k.
unsigned drapeaux(std::string_view t, std::size_t i, char c) {
    if (i + 16 <= t.size()) return drapeaux16(t.data() + i, c);
    // The last block: the last 16 bytes are read again rather than bytes past the end.
    if (t.size() >= 16) return drapeaux16(t.data() + t.size() - 16, c) >> (i + 16 - t.size());
    unsigned m = 0;
    for (std::size_t k = i; k < t.size(); ++k) m |= static_cast<unsigned>(t[k] == c) << (k - i);
    return m;
}

// The same for the 32 bytes of t from i: two blocks per step halve the steps of a line.
std::uint32_t drapeaux32(std::string_view t, std::size_t i, char c) {
    if (i + 32 <= t.size())
        return drapeaux16(t.data() + i, c) | drapeaux16(t.data() + i + 16, c) << 16;
    return drapeaux(t, i, c) | (i + 16 < t.size() ? drapeaux(t, i + 16, c) << 16 : 0);
}

}  // namespace

std::string_view rogner_gauche(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && t[i] == ' ') ++i;
    return t.substr(i);
}

std::string_view rogner_droite(std::string_view t) {
    std::size_t n = t.size();
    while (n > 0 && t[n - 1] == ' ') --n;
    return t.substr(0, n);
}

std::string_view rogner(std::string_view t) {
    return rogner_droite(rogner_gauche(t));
}

std::string_view champ_vue(std::string_view t, int n, char sep) {
    if (n < 1 || n > champ_max || t.empty()) return {};
    if (sep == ' ') {
        // Runs of blanks are one separator, so the fields are the words.
        std::size_t i = 0;
        for (int k = 1;; ++k) {
            while (i < t.size() && t[i] == ' ') ++i;
            if (i >= t.size()) return {};
            const std::size_t debut = i;
            while (i < t.size() && t[i] != ' ') ++i;
            if (k == n) return t.substr(debut, i - debut);
        }
    }
    // A separator that opens the line ends an empty field 1 (an export whose first column
    // has no title); one that closes it only bounds the last field.
    if (t.back() == sep) t.remove_suffix(1);
    // The separators come from flags of 32 bytes at a time, not from a search per field:
    // fields are short, and a call per field costs more than the scan.
    int reste = n;  // the n - 1 separators before the field, then the one that ends it
    std::size_t debut = 0;
    for (std::size_t i = 0; i < t.size(); i += 32) {
        for (std::uint32_t m = drapeaux32(t, i, sep); m != 0; m &= m - 1) {
            const std::size_t p = i + static_cast<std::size_t>(std::countr_zero(m));
            if (--reste == 0) return rogner(t.substr(debut, p - debut));
            debut = p + 1;
        }
    }
    return reste == 1 ? rogner(t.substr(debut)) : std::string_view{};
}

std::string extraire_champ(std::string_view texte, int n, char separateur) {
    return std::string(champ_vue(texte, n, separateur));
}

void decouper_champs_guillemets(std::string_view t, char sep, std::string& valeurs,
                                std::vector<std::string_view>& champs) {
    champs.clear();
    valeurs.clear();
    // Quotes and escapes only shrink the text: the values never outgrow the line, so the
    // views taken below stay valid while they are written.
    valeurs.reserve(t.size());
    const std::size_t n = t.size();
    std::size_t i = 0;
    while (champs.size() < static_cast<std::size_t>(champ_max)) {
        while (i < n && t[i] == ' ') ++i;
        if (i >= n && sep == ' ') return;
        const std::size_t debut = valeurs.size();
        if (i < n && t[i] == '"') {
            for (++i; i < n; ++i) {
                if (t[i] != '"') {
                    valeurs += t[i];
                } else if (i + 1 < n && t[i + 1] == '"') {
                    valeurs += '"';
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        // An unquoted field, or what follows a closing quote, up to the separator.
        std::size_t fin = i;
        while (fin < n && t[fin] != sep) ++fin;
        valeurs += rogner_droite(t.substr(i, fin - i));
        i = fin;
        champs.emplace_back(valeurs.data() + debut, valeurs.size() - debut);
        // A separator that closes the line ends an empty field, as the column counts of
        // unquoted lines have it: "Level,Temp," names three columns.
        if (i >= n) return;
        ++i;
    }
}

std::string extraire_champ_guillemets(std::string_view texte, int n, char separateur) {
    if (n < 1 || n > champ_max) return {};
    std::string valeurs;
    std::vector<std::string_view> champs;
    decouper_champs_guillemets(texte, separateur, valeurs, champs);
    return n <= static_cast<int>(champs.size())
               ? std::string(champs[static_cast<std::size_t>(n) - 1])
               : std::string();
}

int nb_champs_guillemets(std::string_view ligne, char separateur) {
    std::string valeurs;
    std::vector<std::string_view> champs;
    decouper_champs_guillemets(ligne, separateur, valeurs, champs);
    return std::max<int>(1, static_cast<int>(champs.size()));
}

std::string extraire_champ(std::string_view texte, int n, char separateur, bool guillemets) {
    return guillemets ? extraire_champ_guillemets(texte, n, separateur)
                      : extraire_champ(texte, n, separateur);
}

std::string champs_tabules_guillemets(std::string_view ligne, char separateur) {
    std::string valeurs;
    std::vector<std::string_view> champs;
    decouper_champs_guillemets(ligne, separateur, valeurs, champs);
    std::string r;
    r.reserve(ligne.size());
    for (std::size_t k = 0; k < champs.size(); ++k) {
        if (k > 0) r += '\t';
        for (const char c : champs[k]) r += c == '\t' ? ' ' : c;
    }
    return r;
}

int nb_car(char c, std::string_view t) {
    int n = 0;
    for (const char x : t) n += x == c;
    return n;
}

int nb_lettres(std::string_view t) {
    int n = 0;
    for (const char x : t) n += octet(x) >= 'A' && octet(x) <= 'z';
    return n;
}

int nb_car_numeriques(std::string_view t) {
    int n = 0;
    for (const char x : t) n += est_chiffre(x) || x == '+' || x == ',' || x == '.';
    return n;
}

int nb_car_num_ou_blanc(std::string_view t) {
    int n = 0;
    for (const char x : t) n += x == ' ' || (octet(x) >= '+' && octet(x) <= ':');
    return n;
}

std::string remplacer_car(char a, char b, std::string_view t) {
    std::string s(t);
    for (char& x : s)
        if (x == a) x = b;
    return s;
}

std::string chiffres_vers_car(char c, std::string_view t) {
    std::string s(t);
    for (char& x : s)
        if (est_chiffre(x)) x = c;
    return s;
}

std::string supprimer_car(char c, std::string_view t) {
    std::string s;
    s.reserve(t.size());
    for (const char x : t)
        if (x != c) s += x;
    return s;
}

std::string remplacer_premier(std::string_view cherche, std::string_view remplacement,
                              std::string_view t) {
    const auto pos = cherche.empty() ? std::string_view::npos : t.find(cherche);
    if (pos == std::string_view::npos) return std::string(t);
    std::string s;
    s.reserve(t.size() - cherche.size() + remplacement.size());
    s.append(t.substr(0, pos)).append(remplacement).append(t.substr(pos + cherche.size()));
    return s;
}

namespace {

struct RegleAccent {
    std::string_view trouve;
    char ecrit;
};

// UTF-8 sequences read as Windows-1252, in the order they are tried.
constexpr std::array<RegleAccent, 14> regles_accents = {{
    {"\xC3\xA9", '\xE9'},
    {"\xC3\x83\xC2\xA9", '\xE9'},
    {"\xC2\xB0", '\xB0'},
    {"\xC3\xB4", '\xF4'},
    {"\xC3\xA8", '\xE8'},
    {"\xC3\xA7", '\xE7'},
    {"\xC3\xA0", '\xE0'},
    {"\xC3\xA2", '\xE2'},
    {"\xC3\xAA", '\xEA'},
    {"\xC3\xAE", '\xEE'},
    {"\xC3\xB4", '\xF4'},
    {"\xC3\xBB", '\xFB'},
    {"\xC3\xB8", '\xB0'},
    {"\xE2\x80\x9A", '\xE9'},
}};

}  // namespace

// Repeating first-occurrence passes until nothing changes reaches the same text as
// rewriting each sequence as soon as its last byte is seen: no two sequences overlap,
// and a written byte can only complete "C2 B0" behind it or start "E2 80 9A". The
// single scan keeps multi-megabyte lines linear.
std::string reparer_accents(std::string_view t) {
    if (t.find_first_of("\xC2\xC3\xE2") == std::string_view::npos) return std::string(t);
    std::string s;
    s.reserve(t.size());
    for (const char c : t) {
        s += c;
        for (bool remplace = true; remplace;) {
            remplace = false;
            for (const auto& r : regles_accents) {
                if (s.size() >= r.trouve.size() &&
                    std::string_view(s).substr(s.size() - r.trouve.size()) == r.trouve) {
                    s.resize(s.size() - r.trouve.size());
                    s += r.ecrit;
                    remplace = true;
                    break;
                }
            }
        }
    }
    return s;
}

std::string deux_chiffres(std::string_view t) {
    std::string s;
    if (t.size() == 1) s += '0';
    return s.append(t);
}

std::string completer_a_droite(std::string_view t, int largeur, char c) {
    std::string s(t);
    if (largeur >= 0 && s.size() <= static_cast<std::size_t>(largeur))
        s.resize(static_cast<std::size_t>(largeur) + 1, c);
    return s;
}

std::string reduire_blancs(std::string_view t) {
    std::string s;
    s.reserve(t.size());
    for (const char c : t)
        if (c != ' ' || s.empty() || s.back() != ' ') s += c;
    return s;
}

std::string majuscules(std::string_view t) {
    std::string s(t);
    for (char& c : s) {
        const unsigned char b = octet(c);
        if ((b >= 'a' && b <= 'z') || (b >= 0xE0 && b <= 0xFE && b != 0xF7))
            c = static_cast<char>(b - 0x20);
        else if (b == 0x9A || b == 0x9C || b == 0x9E)  // š œ ž
            c = static_cast<char>(b - 0x10);
        else if (b == 0xFF)  // ÿ
            c = '\x9F';
    }
    return s;
}

bool contient(std::string_view texte, std::string_view cherche) {
    return texte.find(cherche) != std::string_view::npos;
}

int que_des_chiffres(std::string_view t) {
    for (const char c : t)
        if (!est_chiffre(c)) return 0;
    return static_cast<int>(t.size());
}

bool contient_heure(std::string_view t) {
    for (std::size_t i = 0; i + 5 <= t.size(); ++i)
        if (est_chiffre(t[i]) && est_chiffre(t[i + 1]) && t[i + 2] == ':' &&
            est_chiffre(t[i + 3]) && est_chiffre(t[i + 4]))
            return true;
    return false;
}

bool texte_vers_bool(std::string_view t) {
    return t == "true";
}

std::string bool_vers_texte(bool valeur) {
    return valeur ? "true" : "false";
}

std::string blancs_vers_separateur(std::string_view t, char sep) {
    if (t.size() <= 2) return {};
    std::string s;
    s.reserve(t.size() + 5);
    s.append("  ").append(t).append("   ");
    std::string joint = s;
    // The decision reads the text before any replacement.
    for (std::size_t i = 1; i + 2 < s.size(); ++i)
        if (s[i] == ' ' && s[i - 1] != ' ' && s[i + 1] != ' ' && s[i + 2] == ' ') joint[i] = '_';
    std::string r(rogner_droite(reduire_blancs(joint)));
    if (sep != ' ')
        for (char& c : r)
            if (c == ' ') c = sep;
    if (!r.empty() && r.front() == sep) r.erase(0, 1);
    return r;
}

std::pair<int, int> comparer_nb_colonnes(std::string_view titre, std::string_view donnees,
                                         JournalSuivi& journal) {
    const auto compter = [](std::string_view t) {
        const std::string r = reduire_blancs(t);
        return nb_car(' ', rogner(r)) + 1;
    };
    const int n_titre = compter(titre);
    const int n_donnees = compter(donnees);
    journal.ajouter_suivi(fr("nb col (intitulé) = ") + std::to_string(n_titre));
    journal.ajouter_suivi(fr("nb col (données)  = ") + std::to_string(n_donnees));
    return {n_titre, n_donnees};
}

std::string octet_echappe(unsigned char octet) {
    std::array<char, 8> t{};
    std::snprintf(t.data(), t.size(), "\\x%02X", static_cast<unsigned>(octet));
    return t.data();
}

std::string citer(std::string_view cp1252) {
    if (cp1252.size() <= longueur_citee) return std::string(cp1252);
    return std::string(cp1252.substr(0, longueur_citee)) + '\x85';
}

std::string echapper_controles(std::string_view texte) {
    std::string r;
    r.reserve(texte.size());
    for (const char c : texte) {
        const auto o = static_cast<unsigned char>(c);
        if ((o < 0x20 && c != '\t') || o == 0x7F)
            r += octet_echappe(o);
        else
            r += c;
    }
    return r;
}

std::string ajouter_antislash(std::string_view chemin) {
    std::string s(chemin);
    if (!s.empty() && s.back() != separateur_dossier) s += separateur_dossier;
    return s;
}

std::string format_entier_groupe(long long valeur) {
    const std::string chiffres = std::to_string(valeur < 0 ? -valeur : valeur);
    std::string r = valeur < 0 ? "-" : "";
    for (std::size_t i = 0; i < chiffres.size(); ++i) {
        if (i > 0 && (chiffres.size() - i) % 3 == 0) r += ' ';
        r += chiffres[i];
    }
    return r;
}

std::string duree_texte(double jours) {
    if (!std::isfinite(jours) || std::fabs(jours) > 1e9) return "---";
    // To the nearest second, as the log's "hh:mm:ss" of the same total: the two are read
    // side by side.
    const long long total = std::llround(std::fabs(jours) * jour_en_secondes);
    const long long s_jour = total % secondes_par_jour;
    const long long h = s_jour / 3600, mn = s_jour / 60 % 60, s = s_jour % 60;
    std::array<char, 64> r{};
    if (total < 60)
        std::snprintf(r.data(), r.size(), " %lld s", s);
    else if (total >= 3600)
        std::snprintf(r.data(), r.size(), " %lld h %lld mn %lld s ", h, mn, s);
    else
        std::snprintf(r.data(), r.size(), " %lld mn %lld s ", mn, s);
    return r.data();
}

std::string hh_mm_ss(long long secondes) {
    const long long s = std::max(0LL, secondes);
    std::array<char, 32> r{};
    std::snprintf(r.data(), r.size(), "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    return r.data();
}

namespace {
// To the nearest second, without the hours when there are none.
std::string hh_mm_ss_court(double secondes) {
    const std::string t = hh_mm_ss(std::llround(std::max(0.0, secondes)));
    return t.starts_with("00:") ? t.substr(3) : t;
}
}  // namespace

std::string texte_durees(double liste, double grille, double traitement) {
    return fr("durées  ") + hh_mm_ss_court(liste) + "   " + hh_mm_ss_court(grille) + "   " +
           hh_mm_ss_court(traitement) + "   totale " + hh_mm_ss_court(liste + grille + traitement);
}

}  // namespace tarvo
