// The large logger file of the window benchmark, and the end-to-end benchmark's yardstick:
// a file read whole into memory with std::fread.
//   generer_gros_fichier ecrire FICHIER [NB_LIGNES]   (default 10,000,000 lines)
//   generer_gros_fichier lire FICHIER                  (prints the bytes read)
//
// The file is what a fast logger leaves after a long campaign: ";" between fields, the date
// and time in one column, four measurement columns with comma decimals, a time about every
// 10 s but never regular, some "NA" and "-9999" codes, empty fields and repeated times.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

struct Fermer {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using Fichier = std::unique_ptr<std::FILE, Fermer>;

// Civil date from days since 1970-01-01 (Howard Hinnant's algorithm).
void date_civile(long long jours, int& a, int& m, int& j) {
    jours += 719468;
    const long long ere = (jours >= 0 ? jours : jours - 146096) / 146097;
    const unsigned jde = static_cast<unsigned>(jours - ere * 146097);
    const unsigned ade = (jde - jde / 1460 + jde / 36524 - jde / 146096) / 365;
    const unsigned jda = jde - (365 * ade + ade / 4 - ade / 100);
    const unsigned mp = (5 * jda + 2) / 153;
    j = static_cast<int>(jda - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    a = static_cast<int>(ade + static_cast<unsigned>(ere) * 400 + (m <= 2));
}

// "12,345" with d decimals, written without the locale.
char* ecrire_valeur(char* p, double v, int d) {
    const int n = std::snprintf(p, 32, "%.*f", d, v);
    for (int i = 0; i < n; ++i)
        if (p[i] == '.') p[i] = ',';
    return p + n;
}

int ecrire(const char* chemin, long long nb_lignes) {
    // The buffer outlives the stream, which flushes from it when it closes.
    std::vector<char> tampon(1 << 20);
    Fichier f(std::fopen(chemin, "wb"));
    if (!f) {
        std::perror(chemin);
        return 1;
    }
    std::setvbuf(f.get(), tampon.data(), _IOFBF, tampon.size());
    std::fputs("Enregistreur BX-400 n 2231 - campagne longue - export complet\r\n", f.get());
    std::fputs("Date Heure;Niveau (m);Temperature (C);Conductivite (uS/cm);Turbidite (NTU)\r\n",
               f.get());
    std::mt19937_64 alea(20240101);
    std::uniform_int_distribution<int> ecart(7, 13), tirage(0, 9999);
    std::normal_distribution<double> bruit(0.0, 1.0);
    long long t = 1704067200;  // 01/01/2024 00:00:00 UTC, in seconds since 1970
    double niveau = 1.5, temperature = 12.0, conductivite = 450.0, turbidite = 5.0;
    std::array<char, 256> ligne{};
    for (long long n = 0; n < nb_lignes; ++n) {
        const int r = tirage(alea);
        // 0.3 % of the lines repeat the previous time; the others move on 7 to 13 s.
        if (r >= 30 || n == 0) t += ecart(alea);
        niveau += 0.001 * bruit(alea);
        temperature += 0.01 * bruit(alea);
        conductivite += 0.2 * bruit(alea);
        turbidite = std::abs(turbidite + 0.05 * bruit(alea));
        int a = 0, m = 0, j = 0;
        date_civile(t / 86400, a, m, j);
        const long long s = t % 86400;
        char* p = ligne.data();
        p += std::snprintf(p, 32, "%02d/%02d/%04d %02lld:%02lld:%02lld", j, m, a, s / 3600,
                           s / 60 % 60, s % 60);
        *p++ = ';';
        p = ecrire_valeur(p, niveau, 3);
        *p++ = ';';
        if (r % 500 == 7) {
            std::memcpy(p, "NA", 2);  // the probe's code for a failed reading
            p += 2;
        } else {
            p = ecrire_valeur(p, temperature, 2);
        }
        *p++ = ';';
        if (r % 700 == 11) {
            std::memcpy(p, "-9999", 5);
            p += 5;
        } else {
            p = ecrire_valeur(p, conductivite, 1);
        }
        *p++ = ';';
        if (r % 300 != 5) p = ecrire_valeur(p, turbidite, 2);  // else an empty field
        *p++ = '\r';
        *p++ = '\n';
        std::fwrite(ligne.data(), 1, static_cast<std::size_t>(p - ligne.data()), f.get());
    }
    const bool erreur = std::ferror(f.get()) != 0;
    return std::fclose(f.release()) != 0 || erreur ? 1 : 0;
}

int lire(const char* chemin) {
    Fichier f(std::fopen(chemin, "rb"));
    if (!f) {
        std::perror(chemin);
        return 1;
    }
    std::fseek(f.get(), 0, SEEK_END);
    const long taille = std::ftell(f.get());
    std::fseek(f.get(), 0, SEEK_SET);
    std::vector<char> contenu(static_cast<std::size_t>(taille));
    const std::size_t lus = std::fread(contenu.data(), 1, contenu.size(), f.get());
    // Something of the content must be used, or the read could be optimised away.
    std::uint64_t fins = 0;
    for (std::size_t i = 0; i < lus; i += 4096) fins += static_cast<unsigned char>(contenu[i]);
    std::printf("%zu %llu\n", lus, static_cast<unsigned long long>(fins));
    return lus == contenu.size() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "ecrire") == 0)
        return ecrire(argv[2], argc >= 4 ? std::atoll(argv[3]) : 10'000'000LL);
    if (argc == 3 && std::strcmp(argv[1], "lire") == 0) return lire(argv[2]);
    std::fprintf(stderr, "usage : %s ecrire FICHIER [NB_LIGNES] | lire FICHIER\n", argv[0]);
    return 2;
}
