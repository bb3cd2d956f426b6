#include "description/classeur.h"

#include <expat.h>
#include <freexl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <climits>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fichiers.h"

namespace tarvo {

namespace classeur {

GenreDate genre_format_predefini(int id) {
    if (id >= 14 && id <= 17) return GenreDate::date;
    if ((id >= 18 && id <= 21) || (id >= 45 && id <= 47)) return GenreDate::heure;
    if (id == 22) return GenreDate::date_heure;
    return GenreDate::aucun;
}

GenreDate genre_format_nombre(std::string_view code) {
    bool d_ou_y = false, m = false, h_ou_s = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const auto fin = code.find('"', i + 1);
            if (fin == std::string_view::npos) break;
            i = fin;
        } else if (c == '[') {
            const auto fin = code.find(']', i + 1);
            if (fin == std::string_view::npos) break;
            i = fin;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // the next character is shown or padded, not interpreted
        } else {
            switch (c | 0x20) {
                case 'd':
                case 'y':
                    d_ou_y = true;
                    break;
                case 'm':
                    m = true;
                    break;
                case 'h':
                case 's':
                    h_ou_s = true;
                    break;
                default:
                    break;
            }
        }
    }
    const bool date = d_ou_y || (m && !h_ou_s);
    if (date && h_ou_s) return GenreDate::date_heure;
    if (date) return GenreDate::date;
    if (h_ou_s) return GenreDate::heure;
    return GenreDate::aucun;
}

std::string texte_nombre(double valeur) {
    std::array<char, 64> tampon{};
    const double a = std::fabs(valeur);
    const bool fixe = a == 0 || (a >= 1e-5 && a < 1e15);
    const auto r = fixe ? std::to_chars(tampon.data(), tampon.data() + tampon.size(), valeur,
                                        std::chars_format::fixed)
                        : std::to_chars(tampon.data(), tampon.data() + tampon.size(), valeur);
    std::string texte(tampon.data(), r.ptr);
    std::replace(texte.begin(), texte.end(), '.', ',');
    return texte;
}

std::string texte_date(double jours, GenreDate genre) {
    std::string texte = date_heure_vers_texte(jours);
    if (texte.size() != 19) return {};
    switch (genre) {
        case GenreDate::date:
            return texte.substr(0, 10);
        case GenreDate::heure:
            return texte.substr(11);
        default:
            return texte;
    }
}

namespace {

// Reads an unsigned number of at most `n` digits; nothing when absent.
std::optional<int> entier(std::string_view& texte, std::size_t n) {
    int v = 0;
    std::size_t i = 0;
    for (; i < n && i < texte.size() && texte[i] >= '0' && texte[i] <= '9'; ++i)
        v = v * 10 + (texte[i] - '0');
    if (i == 0) return std::nullopt;
    texte.remove_prefix(i);
    return v;
}

}  // namespace

double date_iso(std::string_view texte) {
    const auto annee = entier(texte, 4);
    if (!annee || texte.empty() || texte[0] != '-') return -1;
    texte.remove_prefix(1);
    const auto mois = entier(texte, 2);
    if (!mois || texte.empty() || texte[0] != '-') return -1;
    texte.remove_prefix(1);
    const auto jour = entier(texte, 2);
    if (!jour) return -1;
    const auto date = date_civile(*annee, *mois, *jour);
    if (!date) return -1;
    if (texte.empty()) return *date;
    if (texte[0] != 'T' && texte[0] != ' ') return -1;
    texte.remove_prefix(1);
    const auto h = entier(texte, 2);
    if (!h || texte.empty() || texte[0] != ':') return -1;
    texte.remove_prefix(1);
    const auto mn = entier(texte, 2);
    if (!mn) return -1;
    double s = 0;
    if (!texte.empty() && texte[0] == ':') {
        texte.remove_prefix(1);
        const auto r = std::from_chars(texte.data(), texte.data() + texte.size(), s);
        if (r.ec != std::errc{}) return -1;
    }
    return *date + (*h * 3600.0 + *mn * 60.0 + s) / jour_en_secondes;
}

}  // namespace classeur

namespace {

using classeur::GenreDate;

// Beyond what a spreadsheet can hold, a damaged or hostile file would only make an endless
// converted file.
constexpr long max_lignes = 1048576;
constexpr int max_colonnes = 16384;
constexpr std::size_t max_texte_cellule = 1 << 20;
// A used range beyond this (a value repeated down whole columns of a damaged file) would
// write gigabytes; real logger sheets stay far below it.
constexpr long long max_cellules = 30'000'000;
constexpr auto delai_xls = std::chrono::seconds(120);
constexpr std::size_t max_chaines_partagees = 256u << 20;

std::string message(std::string_view utf8, std::string_view chemin = {}) {
    std::string m = fr(utf8);
    if (!chemin.empty()) m += std::string(" <") + std::string(chemin) + ">";
    return m;
}

std::string texte_cellule(std::string_view utf8) {
    std::string t = utf8_vers_cp1252(utf8);
    for (char& c : t)
        if (c == '\r' || c == '\n' || c == '\t') c = ' ';
    return t;
}

int entier_attribut(const char* v) {
    int n = 0;
    if (v) std::from_chars(v, v + std::strlen(v), n);
    return n;
}

std::string texte_vrai_faux(bool v) {
    return v ? "VRAI" : "FAUX";
}

std::optional<double> lire_double(std::string_view texte) {
    while (!texte.empty() && texte.front() == ' ') texte.remove_prefix(1);
    if (!texte.empty() && texte.front() == '+') texte.remove_prefix(1);
    double v = 0;
    const auto r = std::from_chars(texte.data(), texte.data() + texte.size(), v);
    if (r.ec != std::errc{} || !std::isfinite(v)) return std::nullopt;
    return v;
}

std::string texte_valeur_date(double jours, GenreDate genre) {
    std::string t = classeur::texte_date(jours, genre);
    return t.empty() ? classeur::texte_nombre(jours) : t;
}

// What a sheet reader hands on: the cells holding a value, row by row. The reader runs twice,
// first to find the used range, then to write it, so that nothing but one row is held.
class Recepteur {
public:
    virtual ~Recepteur() = default;
    virtual bool veut_texte() const = 0;
    // A non-empty cell (1-based row and column), repeated over `repetitions` columns.
    virtual void cellule(long ligne, int colonne, int repetitions, std::string_view texte) = 0;
    // End of row `ligne`, repeated `repetitions` times with the same cells.
    virtual void fin_ligne(long ligne, long repetitions) = 0;
};

class Etendue : public Recepteur {
public:
    bool veut_texte() const override { return false; }
    void cellule(long, int colonne, int repetitions, std::string_view) override {
        if (colonne > max_colonnes) return;
        col_min = std::min(col_min, colonne);
        col_max = std::min(max_colonnes, std::max(col_max, colonne + repetitions - 1));
        ligne_remplie_ = true;
    }
    void fin_ligne(long ligne, long repetitions) override {
        const bool remplie = ligne_remplie_;
        ligne_remplie_ = false;
        if (!remplie || ligne > max_lignes) return;
        ligne_min = std::min(ligne_min, ligne);
        ligne_max = std::min(max_lignes, std::max(ligne_max, ligne + repetitions - 1));
    }
    bool vide() const { return ligne_max == 0 || col_max == 0; }

    long ligne_min = LONG_MAX, ligne_max = 0;
    int col_min = INT_MAX, col_max = 0;

private:
    bool ligne_remplie_ = false;
};

// Writes the used range, one row held at a time.
class Ecrivain : public Recepteur {
public:
    Ecrivain(std::ostream& sortie, const Etendue& e)
        : sortie_(sortie),
          e_(e),
          cellules_(static_cast<std::size_t>(e.col_max - e.col_min + 1)),
          suivante_(e.ligne_min) {}
    bool veut_texte() const override { return true; }
    void cellule(long, int colonne, int repetitions, std::string_view texte) override {
        const int debut = std::max(colonne, e_.col_min);
        const int fin = std::min(e_.col_max, colonne + repetitions - 1);
        for (int c = debut; c <= fin; ++c)
            cellules_[static_cast<std::size_t>(c - e_.col_min)].assign(texte);
    }
    void fin_ligne(long ligne, long repetitions) override {
        const long debut = std::max(ligne, suivante_);
        const long fin = std::min(e_.ligne_max, ligne + repetitions - 1);
        if (debut <= fin) {
            // Rows that the file skipped are empty rows of the range.
            if (debut > suivante_) {
                const std::string vide = std::string(cellules_.size() - 1, ';') + "\r\n";
                for (long l = suivante_; l < debut; ++l) sortie_ << vide;
                nb_lignes += debut - suivante_;
            }
            std::string ligne_texte;
            for (std::size_t i = 0; i < cellules_.size(); ++i) {
                if (i) ligne_texte += ';';
                ligne_texte += cellules_[i];
            }
            ligne_texte += "\r\n";
            for (long l = debut; l <= fin; ++l) sortie_ << ligne_texte;
            nb_lignes += fin - debut + 1;
            suivante_ = fin + 1;
        }
        for (auto& c : cellules_) c.clear();
    }

    long long nb_lignes = 0;

private:
    std::ostream& sortie_;
    const Etendue& e_;
    std::vector<std::string> cellules_;
    long suivante_;
};

// ---- XML parts read from a zip, streamed through expat ----

std::string_view nom_local(const XML_Char* nom) {
    std::string_view n(nom);
    const auto p = n.rfind('|');
    return p == std::string_view::npos ? n : n.substr(p + 1);
}

// An attribute by its full name ("uri|local", or the bare name when it has no namespace).
const char* attribut(const XML_Char** attributs, std::string_view nom) {
    for (int i = 0; attributs[i]; i += 2)
        if (nom == attributs[i]) return attributs[i + 1];
    return nullptr;
}

const char* attribut_local(const XML_Char** attributs, std::string_view local) {
    for (int i = 0; attributs[i]; i += 2)
        if (nom_local(attributs[i]) == local) return attributs[i + 1];
    return nullptr;
}

class AnalyseurXml {
public:
    virtual ~AnalyseurXml() = default;
    virtual void debut(std::string_view local, const XML_Char** attributs) = 0;
    virtual void fin(std::string_view local) = 0;
    virtual void texte(std::string_view) {}
    bool arreter = false;  // set by a handler that has seen enough
};

enum class EtatLecture { ok, absente, endommagee, protegee };

struct Zip {
    zip_t* z = nullptr;
    ~Zip() {
        if (z) zip_discard(z);
    }
};

EtatLecture lire_xml(zip_t* z, const std::string& nom, AnalyseurXml& analyseur) {
    const zip_int64_t index = zip_name_locate(z, nom.c_str(), 0);
    if (index < 0) return EtatLecture::absente;
    zip_file_t* f = zip_fopen_index(z, static_cast<zip_uint64_t>(index), 0);
    if (!f) {
        const int code = zip_error_code_zip(zip_get_error(z));
        return code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_ENCRNOTSUPP
                   ? EtatLecture::protegee
                   : EtatLecture::endommagee;
    }
    std::unique_ptr<zip_file_t, decltype(&zip_fclose)> fichier(f, &zip_fclose);
    std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> p(
        XML_ParserCreateNS(nullptr, '|'), &XML_ParserFree);
    if (!p) return EtatLecture::endommagee;
    XML_SetUserData(p.get(), &analyseur);
    XML_SetElementHandler(
        p.get(),
        [](void* u, const XML_Char* n, const XML_Char** a) {
            static_cast<AnalyseurXml*>(u)->debut(nom_local(n), a);
        },
        [](void* u, const XML_Char* n) { static_cast<AnalyseurXml*>(u)->fin(nom_local(n)); });
    XML_SetCharacterDataHandler(p.get(), [](void* u, const XML_Char* s, int n) {
        static_cast<AnalyseurXml*>(u)->texte(std::string_view(s, static_cast<std::size_t>(n)));
    });
    // The parts of a workbook never declare a DTD; one would only serve entity expansion.
    XML_SetStartDoctypeDeclHandler(
        p.get(), [](void* u, const XML_Char*, const XML_Char*, const XML_Char*, int) {
            static_cast<AnalyseurXml*>(u)->arreter = true;
        });
    std::vector<char> tampon(1 << 16);
    for (;;) {
        const zip_int64_t n = zip_fread(f, tampon.data(), tampon.size());
        if (n < 0) return EtatLecture::endommagee;
        if (XML_Parse(p.get(), tampon.data(), static_cast<int>(n), n == 0) != XML_STATUS_OK)
            return EtatLecture::endommagee;
        if (analyseur.arreter) return EtatLecture::endommagee;
        if (n == 0) return EtatLecture::ok;
    }
}

// ---- .xlsx / .xlsm ----

struct Relation {
    std::string cible, type;
};

class LecteurRelations : public AnalyseurXml {
public:
    void debut(std::string_view local, const XML_Char** a) override {
        if (local != "Relationship") return;
        const char* id = attribut(a, "Id");
        const char* cible = attribut(a, "Target");
        const char* type = attribut(a, "Type");
        if (id && cible) relations[id] = {cible, type ? type : ""};
    }
    void fin(std::string_view) override {}
    std::unordered_map<std::string, Relation> relations;
};

class LecteurClasseur : public AnalyseurXml {
public:
    void debut(std::string_view local, const XML_Char** a) override {
        if (local == "sheet") {
            const char* nom = attribut(a, "name");
            const char* id = attribut_local(a, "id");
            feuilles.push_back({nom ? nom : "", id ? id : ""});
        } else if (local == "workbookPr") {
            const char* v = attribut(a, "date1904");
            date1904 = v && (std::string_view(v) == "1" || std::string_view(v) == "true");
        }
    }
    void fin(std::string_view) override {}
    std::vector<std::pair<std::string, std::string>> feuilles;  // name, relation id
    bool date1904 = false;
};

class LecteurStyles : public AnalyseurXml {
public:
    void debut(std::string_view local, const XML_Char** a) override {
        if (local == "numFmts") {
            dans_formats_ = true;
        } else if (local == "numFmt" && dans_formats_) {
            const char* id = attribut(a, "numFmtId");
            const char* code = attribut(a, "formatCode");
            if (id && code) formats[entier_attribut(id)] = classeur::genre_format_nombre(code);
        } else if (local == "cellXfs") {
            dans_xfs_ = true;
        } else if (local == "xf" && dans_xfs_) {
            const char* id = attribut(a, "numFmtId");
            xfs.push_back(entier_attribut(id));
        }
    }
    void fin(std::string_view local) override {
        if (local == "cellXfs") dans_xfs_ = false;
        if (local == "numFmts") dans_formats_ = false;
    }
    std::vector<GenreDate> genres() const {
        std::vector<GenreDate> g;
        g.reserve(xfs.size());
        for (int id : xfs) {
            const auto f = formats.find(id);
            g.push_back(f != formats.end() ? f->second : classeur::genre_format_predefini(id));
        }
        return g;
    }
    std::unordered_map<int, GenreDate> formats;
    std::vector<int> xfs;

private:
    bool dans_xfs_ = false, dans_formats_ = false;
};

class LecteurChaines : public AnalyseurXml {
public:
    void debut(std::string_view local, const XML_Char**) override {
        if (local == "si")
            courante_.clear();
        else if (local == "t" && !dans_rph_)
            dans_t_ = true;
        else if (local == "rPh")
            dans_rph_ = true;
    }
    void fin(std::string_view local) override {
        if (local == "t")
            dans_t_ = false;
        else if (local == "rPh")
            dans_rph_ = false;
        else if (local == "si") {
            chaines.push_back(texte_cellule(courante_));
            taille_ += chaines.back().size() + sizeof(std::string);
            if (taille_ > max_chaines_partagees) arreter = true;
        }
    }
    void texte(std::string_view s) override {
        if (dans_t_ && courante_.size() < max_texte_cellule) courante_ += s;
    }
    std::vector<std::string> chaines;

private:
    std::string courante_;
    bool dans_t_ = false, dans_rph_ = false;
    std::size_t taille_ = 0;
};

// "AB12" → column 28, row 12 (either 0 when absent).
void reference_cellule(std::string_view r, int& colonne, long& ligne) {
    colonne = 0;
    ligne = 0;
    std::size_t i = 0;
    for (; i < r.size() && ((r[i] >= 'A' && r[i] <= 'Z') || (r[i] >= 'a' && r[i] <= 'z')); ++i)
        colonne = std::min(colonne * 26 + ((r[i] | 0x20) - 'a' + 1), max_colonnes + 1);
    for (; i < r.size() && r[i] >= '0' && r[i] <= '9'; ++i)
        ligne = std::min(ligne * 10 + (r[i] - '0'), max_lignes + 1);
}

class LecteurFeuilleXlsx : public AnalyseurXml {
public:
    LecteurFeuilleXlsx(Recepteur& r, const std::vector<std::string>& chaines,
                       const std::vector<GenreDate>& genres, bool date1904)
        : r_(r), chaines_(chaines), genres_(genres), decalage_(date1904 ? 1462 : 0) {}

    void debut(std::string_view local, const XML_Char** a) override {
        if (local == "row") {
            const char* n = attribut(a, "r");
            long l = 0;
            if (n) std::from_chars(n, n + std::strlen(n), l);
            ligne_ = std::min(l > ligne_ ? l : ligne_ + 1, max_lignes + 1);
            colonne_ = 0;
        } else if (local == "c") {
            int c = 0;
            long l = 0;
            if (const char* ref = attribut(a, "r")) reference_cellule(ref, c, l);
            colonne_ = std::min(c > 0 ? c : colonne_ + 1, max_colonnes + 1);
            const char* t = attribut(a, "t");
            type_ = t ? t : "n";
            const char* s = attribut(a, "s");
            style_ = entier_attribut(s);
            dans_c_ = true;
            a_valeur_ = false;
            valeur_.clear();
        } else if (dans_c_ && (local == "v" || (local == "t" && !dans_rph_))) {
            collecte_ = true;
            a_valeur_ = true;
        } else if (local == "rPh") {
            dans_rph_ = true;
        }
    }
    void fin(std::string_view local) override {
        if (local == "v" || local == "t")
            collecte_ = false;
        else if (local == "rPh")
            dans_rph_ = false;
        else if (local == "c") {
            dans_c_ = false;
            if (a_valeur_ && colonne_ <= max_colonnes)
                r_.cellule(ligne_, colonne_, 1, r_.veut_texte() ? texte() : std::string());
        } else if (local == "row") {
            r_.fin_ligne(ligne_, 1);
        }
    }
    void texte(std::string_view s) override {
        if (collecte_ && valeur_.size() < max_texte_cellule) valeur_ += s;
    }

private:
    std::string texte() const {
        if (type_ == "s") {
            std::size_t i = 0;
            const auto r = std::from_chars(valeur_.data(), valeur_.data() + valeur_.size(), i);
            return r.ec == std::errc{} && i < chaines_.size() ? chaines_[i] : std::string();
        }
        if (type_ == "b") return texte_vrai_faux(valeur_ == "1" || valeur_ == "true");
        if (type_ == "d") {
            const double d = classeur::date_iso(valeur_);
            if (d < 0) return texte_cellule(valeur_);
            return texte_valeur_date(d, valeur_.find('T') == std::string::npos
                                            ? GenreDate::date
                                            : GenreDate::date_heure);
        }
        if (type_ != "n") return texte_cellule(valeur_);  // str, inlineStr, e
        const auto v = lire_double(valeur_);
        if (!v) return texte_cellule(valeur_);
        const GenreDate g = style_ >= 0 && static_cast<std::size_t>(style_) < genres_.size()
                                ? genres_[static_cast<std::size_t>(style_)]
                                : GenreDate::aucun;
        return g == GenreDate::aucun ? classeur::texte_nombre(*v)
                                     : texte_valeur_date(*v + decalage_, g);
    }

    Recepteur& r_;
    const std::vector<std::string>& chaines_;
    const std::vector<GenreDate>& genres_;
    double decalage_;
    long ligne_ = 0;
    int colonne_ = 0;
    std::string type_;
    int style_ = 0;
    bool dans_c_ = false, a_valeur_ = false, collecte_ = false, dans_rph_ = false;
    std::string valeur_;
};

// A relationship target is relative to the part's folder, or absolute from the zip root.
std::string partie(std::string_view dossier, std::string_view cible) {
    if (!cible.empty() && cible.front() == '/') return std::string(cible.substr(1));
    std::string p(dossier);
    while (cible.starts_with("../")) {
        cible.remove_prefix(3);
        const auto s = p.find_last_of('/', p.size() >= 2 ? p.size() - 2 : 0);
        p = s == std::string::npos ? std::string() : p.substr(0, s + 1);
    }
    return p + std::string(cible);
}

struct Sortie {
    // Streams the text to a temporary beside the target, renamed over it at the end.
    explicit Sortie(std::string_view chemin)
        : cible(chemin_natif(chemin)), temporaire(temporaire_de(chemin)) {
        tampon.resize(1 << 20);
        flux.rdbuf()->pubsetbuf(tampon.data(), static_cast<std::streamsize>(tampon.size()));
        flux.open(temporaire, std::ios::binary | std::ios::trunc);
    }
    ~Sortie() {
        if (flux.is_open()) flux.close();
        if (!termine) {
            std::error_code ec;
            std::filesystem::remove(temporaire, ec);
        }
    }
    static std::filesystem::path temporaire_de(std::string_view chemin) {
        return chemin_natif(chemin).string() + ".~ecriture";
    }
    bool terminer() {
        flux.close();
        if (flux.fail()) return false;
        std::error_code ec;
        std::filesystem::rename(temporaire, cible, ec);
        termine = !ec;
        return termine;
    }
    std::filesystem::path cible, temporaire;
    std::vector<char> tampon;
    std::ofstream flux;
    bool termine = false;
};

struct Contexte {
    std::string_view chemin_classeur, chemin_csv;
    int numero;  // 1-based, already corrected
};

std::string message_feuille_absente(int numero, std::size_t nb) {
    return message("la feuille " + std::to_string(numero) + " n'existe pas : le classeur n'a que " +
                   std::to_string(nb) + " feuille(s)");
}

std::string message_etat(EtatLecture e, std::string_view chemin) {
    return e == EtatLecture::protegee
               ? message("classeur protégé par un mot de passe, illisible :", chemin)
               : message("classeur endommagé ou illisible :", chemin);
}

// Both passes of a sheet reader, then the write of the used range.
template <typename Lire>
ResultatConversion ecrire_feuille(const Contexte& ctx, std::string nom_feuille, Lire lire) {
    ResultatConversion res;
    res.nom_feuille = std::move(nom_feuille);
    Etendue etendue;
    if (auto erreur = lire(static_cast<Recepteur&>(etendue)); !erreur.empty()) {
        res.erreur = std::move(erreur);
        return res;
    }
    if (etendue.vide()) {
        res.feuille_vide = true;
        res.erreur = message(" problème, memo1 vide!!!");
        return res;
    }
    const long long nb_cellules =
        (etendue.ligne_max - etendue.ligne_min + 1LL) * (etendue.col_max - etendue.col_min + 1LL);
    if (nb_cellules > max_cellules) {
        res.erreur = message("feuille trop grande : " + std::to_string(nb_cellules) +
                                 " cellules, plus de 30000000 :",
                             ctx.chemin_classeur);
        return res;
    }
    Sortie sortie(ctx.chemin_csv);
    if (!sortie.flux) {
        res.erreur = message("impossible d'écrire le fichier converti", ctx.chemin_csv);
        return res;
    }
    Ecrivain ecrivain(sortie.flux, etendue);
    if (auto erreur = lire(static_cast<Recepteur&>(ecrivain)); !erreur.empty()) {
        res.erreur = std::move(erreur);
        return res;
    }
    if (!sortie.terminer()) {
        res.erreur = message("impossible d'écrire le fichier converti", ctx.chemin_csv);
        return res;
    }
    res.reussi = true;
    res.nb_lignes = ecrivain.nb_lignes;
    return res;
}

ResultatConversion convertir_xlsx(zip_t* z, const Contexte& ctx) {
    ResultatConversion echec;
    LecteurClasseur classeur;
    if (const auto e = lire_xml(z, "xl/workbook.xml", classeur); e != EtatLecture::ok) {
        echec.erreur = message_etat(e, ctx.chemin_classeur);
        return echec;
    }
    if (static_cast<std::size_t>(ctx.numero) > classeur.feuilles.size()) {
        echec.erreur = message_feuille_absente(ctx.numero, classeur.feuilles.size());
        return echec;
    }
    LecteurRelations rels;
    if (const auto e = lire_xml(z, "xl/_rels/workbook.xml.rels", rels); e != EtatLecture::ok) {
        echec.erreur = message_etat(e, ctx.chemin_classeur);
        return echec;
    }
    const auto& [nom, id] = classeur.feuilles[static_cast<std::size_t>(ctx.numero - 1)];
    const auto rel = rels.relations.find(id);
    if (rel == rels.relations.end()) {
        echec.erreur = message_etat(EtatLecture::endommagee, ctx.chemin_classeur);
        return echec;
    }
    const std::string chemin_feuille = partie("xl/", rel->second.cible);
    std::string chemin_chaines = "xl/sharedStrings.xml", chemin_styles = "xl/styles.xml";
    for (const auto& [cle, r] : rels.relations) {
        if (r.type.ends_with("/sharedStrings")) chemin_chaines = partie("xl/", r.cible);
        if (r.type.ends_with("/styles")) chemin_styles = partie("xl/", r.cible);
    }
    // Shared strings and styles are optional parts; present but unreadable, they are damage.
    LecteurChaines chaines;
    if (const auto e = lire_xml(z, chemin_chaines, chaines);
        e != EtatLecture::ok && e != EtatLecture::absente) {
        echec.erreur = message_etat(e, ctx.chemin_classeur);
        return echec;
    }
    LecteurStyles styles;
    if (const auto e = lire_xml(z, chemin_styles, styles);
        e != EtatLecture::ok && e != EtatLecture::absente) {
        echec.erreur = message_etat(e, ctx.chemin_classeur);
        return echec;
    }
    const auto genres = styles.genres();
    return ecrire_feuille(ctx, texte_cellule(nom), [&](Recepteur& r) -> std::string {
        LecteurFeuilleXlsx feuille(r, chaines.chaines, genres, classeur.date1904);
        const auto e = lire_xml(z, chemin_feuille, feuille);
        return e == EtatLecture::ok ? std::string() : message_etat(e, ctx.chemin_classeur);
    });
}

// ---- .ods ----

constexpr std::string_view ns_table = "urn:oasis:names:tc:opendocument:xmlns:table:1.0|";
constexpr std::string_view ns_office = "urn:oasis:names:tc:opendocument:xmlns:office:1.0|";
constexpr std::string_view ns_texte = "urn:oasis:names:tc:opendocument:xmlns:text:1.0|";

const char* attribut_ns(const XML_Char** a, std::string_view ns, std::string_view local) {
    for (int i = 0; a[i]; i += 2) {
        const std::string_view n(a[i]);
        if (n.size() == ns.size() + local.size() && n.starts_with(ns) && n.ends_with(local))
            return a[i + 1];
    }
    return nullptr;
}

long repetitions(const XML_Char** a, std::string_view local, long plafond) {
    const char* v = attribut_ns(a, ns_table, local);
    long n = 1;
    if (v) std::from_chars(v, v + std::strlen(v), n);
    return std::clamp(n, 1L, plafond);
}

// "PT08H05M00S" (hours may exceed 24, seconds may carry a fraction) to a fraction of a day.
double duree_iso(std::string_view t) {
    if (!t.starts_with("PT")) return -1;
    t.remove_prefix(2);
    double total = 0;
    while (!t.empty()) {
        double v = 0;
        const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
        if (r.ec != std::errc{} || r.ptr == t.data() + t.size()) return -1;
        const char unite = *r.ptr;
        t.remove_prefix(static_cast<std::size_t>(r.ptr - t.data()) + 1);
        if (unite == 'H')
            total += v * 3600;
        else if (unite == 'M')
            total += v * 60;
        else if (unite == 'S')
            total += v;
        else
            return -1;
    }
    return total / jour_en_secondes;
}

class LecteurOds : public AnalyseurXml {
public:
    LecteurOds(Recepteur* r, int numero) : r_(r), numero_(numero) {}

    void debut(std::string_view local, const XML_Char** a) override {
        if (local == "table") {
            if (profondeur_table_++ == 0) {
                ++nb_feuilles;
                active_ = nb_feuilles == numero_;
                if (active_) {
                    const char* n = attribut_ns(a, ns_table, "name");
                    nom_feuille = n ? texte_cellule(n) : std::string();
                }
                ligne_ = 0;
            }
            return;
        }
        if (!active_ || profondeur_table_ != 1) return;
        if (local == "table-row") {
            ligne_ = prochaine_ligne_;
            rep_ligne_ = repetitions(a, "number-rows-repeated", max_lignes);
            prochaine_ligne_ = std::min(ligne_ + rep_ligne_, max_lignes + 1);
            colonne_ = 1;
        } else if (local == "table-cell" || local == "covered-table-cell") {
            dans_cellule_ = true;
            rep_col_ = static_cast<int>(repetitions(a, "number-columns-repeated", max_colonnes));
            valeur_.clear();
            texte_.clear();
            nb_p_ = 0;
            const char* type = attribut_ns(a, ns_office, "value-type");
            type_ = type ? type : "";
            const char* v = nullptr;
            if (type_ == "float" || type_ == "percentage" || type_ == "currency")
                v = attribut_ns(a, ns_office, "value");
            else if (type_ == "date")
                v = attribut_ns(a, ns_office, "date-value");
            else if (type_ == "time")
                v = attribut_ns(a, ns_office, "time-value");
            else if (type_ == "boolean")
                v = attribut_ns(a, ns_office, "boolean-value");
            if (v) valeur_ = v;
        } else if (dans_cellule_) {
            if (local == "annotation") ++dans_note_;
            if (dans_note_) return;
            if (local == "p") {
                if (nb_p_++) texte_ += ' ';
                ++dans_p_;
            } else if (dans_p_ && local == "s") {
                const char* c = attribut_ns(a, ns_texte, "c");
                long n = 1;
                if (c) std::from_chars(c, c + std::strlen(c), n);
                if (texte_.size() < max_texte_cellule)
                    texte_.append(static_cast<std::size_t>(std::clamp(n, 1L, 1000L)), ' ');
            } else if (dans_p_ && (local == "tab" || local == "line-break")) {
                texte_ += ' ';
            }
        }
    }
    void fin(std::string_view local) override {
        if (local == "table") {
            if (--profondeur_table_ == 0 && active_) {
                active_ = false;
                if (r_ != &mesure_) arreter = termine = true;  // the writing pass needs no more
            }
            return;
        }
        if (!active_ || profondeur_table_ != 1) return;
        if (local == "table-cell" || local == "covered-table-cell") {
            dans_cellule_ = false;
            if (colonne_ <= max_colonnes && (!type_.empty() || !texte_.empty()))
                r_->cellule(ligne_, colonne_, rep_col_, r_->veut_texte() ? texte() : std::string());
            colonne_ = std::min(colonne_ + rep_col_, max_colonnes + 1);
        } else if (local == "table-row") {
            r_->fin_ligne(ligne_, rep_ligne_);
        } else if (local == "annotation") {
            --dans_note_;
        } else if (local == "p" && dans_p_ && !dans_note_) {
            --dans_p_;
        }
    }
    void texte(std::string_view s) override {
        if (dans_p_ && !dans_note_ && texte_.size() < max_texte_cellule) texte_ += s;
    }

    // The first pass counts the sheets and measures the range without a writer.
    Etendue& premiere_passe() {
        r_ = &mesure_;
        return mesure_;
    }

    int nb_feuilles = 0;
    std::string nom_feuille;
    bool termine = false;

private:
    std::string texte() const {
        if (type_ == "float" || type_ == "percentage" || type_ == "currency") {
            const auto v = lire_double(valeur_);
            return v ? classeur::texte_nombre(*v) : texte_cellule(texte_);
        }
        if (type_ == "date") {
            const double d = classeur::date_iso(valeur_);
            if (d < 0) return texte_cellule(texte_);
            return texte_valeur_date(d, valeur_.find('T') == std::string::npos
                                            ? GenreDate::date
                                            : GenreDate::date_heure);
        }
        if (type_ == "time") {
            const double d = duree_iso(valeur_);
            return d < 0 ? texte_cellule(texte_) : texte_valeur_date(d, GenreDate::heure);
        }
        if (type_ == "boolean") return texte_vrai_faux(valeur_ == "true" || valeur_ == "1");
        return texte_cellule(texte_);
    }

    Recepteur* r_;
    Etendue mesure_;
    int numero_;
    int profondeur_table_ = 0;
    bool active_ = false, dans_cellule_ = false;
    int dans_p_ = 0, dans_note_ = 0, nb_p_ = 0;
    long ligne_ = 0, prochaine_ligne_ = 1, rep_ligne_ = 1;
    int colonne_ = 1, rep_col_ = 1;
    std::string type_, valeur_, texte_;
};

ResultatConversion convertir_ods(zip_t* z, const Contexte& ctx) {
    ResultatConversion res;
    LecteurOds mesure(nullptr, ctx.numero);
    Etendue& etendue = mesure.premiere_passe();
    if (const auto e = lire_xml(z, "content.xml", mesure); e != EtatLecture::ok) {
        res.erreur = message_etat(e, ctx.chemin_classeur);
        return res;
    }
    if (ctx.numero > mesure.nb_feuilles) {
        res.erreur =
            message_feuille_absente(ctx.numero, static_cast<std::size_t>(mesure.nb_feuilles));
        return res;
    }
    // The range is already known: the generic two passes would only measure it again.
    bool premiere = true;
    return ecrire_feuille(ctx, mesure.nom_feuille, [&](Recepteur& r) -> std::string {
        if (premiere) {
            premiere = false;
            static_cast<Etendue&>(r) = etendue;
            return {};
        }
        LecteurOds lecteur(&r, ctx.numero);
        const auto e = lire_xml(z, "content.xml", lecteur);
        if (e == EtatLecture::ok || lecteur.termine) return {};
        return message_etat(e, ctx.chemin_classeur);
    });
}

// ---- .xls ----

std::string texte_xls(const FreeXL_CellValue& v) {
    switch (v.type) {
        case FREEXL_CELL_INT:
            return std::to_string(v.value.int_value);
        case FREEXL_CELL_DOUBLE:
            return classeur::texte_nombre(v.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return texte_cellule(v.value.text_value ? v.value.text_value : "");
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME: {
            const std::string_view t = v.value.text_value ? v.value.text_value : "";
            const double d = classeur::date_iso(t);
            if (d < 0) return texte_cellule(t);
            return texte_valeur_date(
                d, v.type == FREEXL_CELL_DATE ? GenreDate::date : GenreDate::date_heure);
        }
        case FREEXL_CELL_TIME: {
            const std::string t =
                std::string("1899-12-30 ") + (v.value.text_value ? v.value.text_value : "");
            const double d = classeur::date_iso(t);
            return d < 0 ? texte_cellule(t.substr(11)) : texte_valeur_date(d, GenreDate::heure);
        }
        default:
            return {};
    }
}

ResultatConversion convertir_xls(const Contexte& ctx) {
    ResultatConversion echec;
    const void* h = nullptr;
    const std::string chemin = chemin_natif(ctx.chemin_classeur).string();
    if (freexl_open(chemin.c_str(), &h) != FREEXL_OK) {
        if (h) freexl_close(h);
        echec.erreur = message_etat(EtatLecture::endommagee, ctx.chemin_classeur);
        return echec;
    }
    std::unique_ptr<const void, decltype(&freexl_close)> classeur(h, &freexl_close);
    unsigned int info = 0;
    if (freexl_get_info(h, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
        info == FREEXL_BIFF_OBFUSCATED) {
        echec.erreur = message_etat(EtatLecture::protegee, ctx.chemin_classeur);
        return echec;
    }
    unsigned int nb = 0;
    if (freexl_get_info(h, FREEXL_BIFF_SHEET_COUNT, &nb) != FREEXL_OK) nb = 0;
    if (static_cast<unsigned>(ctx.numero) > nb) {
        echec.erreur = message_feuille_absente(ctx.numero, nb);
        return echec;
    }
    const auto index = static_cast<unsigned short>(ctx.numero - 1);
    const char* nom = nullptr;
    unsigned int lignes = 0;
    unsigned short colonnes = 0;
    if (freexl_get_worksheet_name(h, index, &nom) != FREEXL_OK ||
        freexl_select_active_worksheet(h, index) != FREEXL_OK ||
        freexl_worksheet_dimensions(h, &lignes, &colonnes) != FREEXL_OK) {
        echec.erreur = message_etat(EtatLecture::endommagee, ctx.chemin_classeur);
        return echec;
    }
    return ecrire_feuille(ctx, texte_cellule(nom ? nom : ""), [&](Recepteur& r) -> std::string {
        for (unsigned int l = 0; l < lignes && l < static_cast<unsigned>(max_lignes); ++l) {
            for (unsigned short c = 0; c < colonnes; ++c) {
                FreeXL_CellValue v{};
                if (freexl_get_cell_value(h, l, c, &v) != FREEXL_OK) continue;
                if (v.type == FREEXL_CELL_NULL) continue;
                r.cellule(l + 1L, c + 1, 1, r.veut_texte() ? texte_xls(v) : std::string());
            }
            r.fin_ligne(l + 1L, 1);
        }
        return {};
    });
}

// libfreexl can fault on a damaged .xls, so it runs in a child process: a crash or a hang
// there becomes an error message here, and the parent never holds a half-written file.
// Kept whole: the pipe, the child and the wait share descriptors that must close on every path.
ResultatConversion convertir_xls_isole(const Contexte& ctx) {
    ResultatConversion res;
    res.erreur = message_etat(EtatLecture::endommagee, ctx.chemin_classeur);
    std::array<int, 2> canal{};
    if (pipe(canal.data()) != 0) return res;
    const pid_t pid = fork();
    if (pid < 0) {
        close(canal[0]);
        close(canal[1]);
        return res;
    }
    if (pid == 0) {
        close(canal[0]);
        int code = 1;
        try {
            const ResultatConversion r = convertir_xls(ctx);
            std::string m;
            m += r.reussi ? '1' : '0';
            m += r.feuille_vide ? '1' : '0';
            m += std::to_string(r.nb_lignes) + '\n' + r.nom_feuille + '\0' + r.erreur;
            std::size_t ecrit = 0;
            while (ecrit < m.size()) {
                const ssize_t n = write(canal[1], m.data() + ecrit, m.size() - ecrit);
                if (n <= 0) break;
                ecrit += static_cast<std::size_t>(n);
            }
            code = ecrit == m.size() ? 0 : 1;
        } catch (...) {
        }
        _exit(code);
    }
    close(canal[1]);
    std::string m;
    std::array<char, 4096> tampon{};
    const auto limite = std::chrono::steady_clock::now() + delai_xls;
    bool fini = false;
    while (!fini && std::chrono::steady_clock::now() < limite) {
        pollfd p{canal[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        const ssize_t n = read(canal[0], tampon.data(), tampon.size());
        if (n > 0)
            m.append(tampon.data(), static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            fini = true;
    }
    close(canal[0]);
    if (!fini) kill(pid, SIGKILL);
    int etat = 0;
    while (waitpid(pid, &etat, 0) < 0 && errno == EINTR) {
    }
    const auto fin_ligne = m.find('\n');
    const auto fin_nom = m.find('\0', fin_ligne == std::string::npos ? 0 : fin_ligne);
    if (!fini || !WIFEXITED(etat) || WEXITSTATUS(etat) != 0 || m.size() < 3 ||
        fin_ligne == std::string::npos || fin_nom == std::string::npos) {
        std::error_code ec;
        std::filesystem::remove(Sortie::temporaire_de(ctx.chemin_csv), ec);
        return res;
    }
    res.reussi = m[0] == '1';
    res.feuille_vide = m[1] == '1';
    std::from_chars(m.data() + 2, m.data() + fin_ligne, res.nb_lignes);
    res.nom_feuille = m.substr(fin_ligne + 1, fin_nom - fin_ligne - 1);
    res.erreur = m.substr(fin_nom + 1);
    return res;
}

}  // namespace

ResultatConversion classeur::convertir_xls_ici(std::string_view chemin_classeur, int numero_feuille,
                                               std::string_view chemin_csv) {
    return convertir_xls({chemin_classeur, chemin_csv, std::max(numero_feuille, 1)});
}

ResultatConversion convertir_classeur(std::string_view chemin_classeur, int numero_feuille,
                                      std::string_view chemin_csv) {
    const Contexte ctx{chemin_classeur, chemin_csv, std::max(numero_feuille, 1)};
    ResultatConversion echec;
    const auto natif = chemin_natif(chemin_classeur);
    std::array<unsigned char, 8> entete{};
    // Opening a FIFO would wait for a writer forever.
    std::error_code ordinaire;
    if (std::filesystem::exists(natif, ordinaire) &&
        !std::filesystem::is_regular_file(natif, ordinaire)) {
        echec.erreur = message(
            "le classeur n'est pas un fichier ordinaire (dossier, tube ou "
            "périphérique) :",
            chemin_classeur);
        return echec;
    }
    {
        std::ifstream f(natif, std::ios::binary);
        if (!f) {
            echec.erreur = message("impossible d'ouvrir le classeur", chemin_classeur);
            return echec;
        }
        f.read(reinterpret_cast<char*>(entete.data()), entete.size());
    }
    constexpr std::array<unsigned char, 8> ole = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (entete == ole) {
        // A protected .xlsx or .ods is an encrypted package inside this same container.
        std::string ext = natif.extension().string();
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".xls") {
            echec.erreur = message_etat(EtatLecture::protegee, chemin_classeur);
            return echec;
        }
        return convertir_xls_isole(ctx);
    }
    if (entete[0] != 'P' || entete[1] != 'K') {
        echec.erreur = message("format de classeur non reconnu (xlsx, xlsm, xls ou ods attendu) :",
                               chemin_classeur);
        return echec;
    }
    int code = 0;
    Zip z;
    z.z = zip_open(natif.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!z.z) {
        echec.erreur = message_etat(EtatLecture::endommagee, chemin_classeur);
        return echec;
    }
    if (zip_name_locate(z.z, "xl/workbook.xml", 0) >= 0) return convertir_xlsx(z.z, ctx);
    if (zip_name_locate(z.z, "content.xml", 0) >= 0) return convertir_ods(z.z, ctx);
    echec.erreur = message("format de classeur non reconnu (xlsx, xlsm, xls ou ods attendu) :",
                           chemin_classeur);
    return echec;
}

}  // namespace tarvo
