// Running tarvo-lot as a real process from a test: its outputs and exit status, the files
// it writes, and descriptions made from another by replacing some keys. The including test
// defines TARVO_LOT, the program's path.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "formats/cp1252.h"

extern char** environ;

namespace tarvo::essai_lot {

struct Execution {
    int statut = -1;
    std::string sortie;   // standard output
    std::string erreurs;  // standard error
};

// A tarvo-lot under way: its process and the read ends of its two outputs.
struct Processus {
    pid_t pid = -1;
    int sortie = -1;
    int erreurs = -1;
};

// Starts tarvo-lot with the arguments, both outputs piped, no terminal; standard input is
// the file given. `avant` is a command that runs it (another user…), `environnement`
// ("NOM=valeur") is added to this one.
inline Processus demarrer(const std::vector<std::string>& arguments, const std::string& entree,
                          const std::vector<std::string>& avant = {},
                          const std::vector<std::string>& environnement = {}) {
    std::array<int, 2> sortie{}, erreurs{};
    if (pipe(sortie.data()) != 0 || pipe(erreurs.data()) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, sortie[1], 1);
    posix_spawn_file_actions_adddup2(&actions, erreurs[1], 2);
    posix_spawn_file_actions_addopen(&actions, 0, entree.c_str(), O_RDONLY, 0);
    for (const int f : {sortie[0], sortie[1], erreurs[0], erreurs[1]})
        posix_spawn_file_actions_addclose(&actions, f);
    std::vector<std::string> args = avant;
    args.emplace_back(TARVO_LOT);
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env = environnement;
    for (char** v = environ; *v != nullptr; ++v) env.emplace_back(*v);
    std::vector<char*> envp;
    for (auto& v : env) envp.push_back(v.data());
    envp.push_back(nullptr);
    Processus p;
    const int r =
        posix_spawnp(&p.pid, args.front().c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(sortie[1]);
    close(erreurs[1]);
    if (r != 0) {
        close(sortie[0]);
        close(erreurs[0]);
        return {};
    }
    p.sortie = sortie[0];
    p.erreurs = erreurs[0];
    return p;
}

// Reads both outputs to their end and waits for the process.
inline Execution terminer(const Processus& p) {
    Execution e;
    if (p.pid < 0) return e;
    std::array<pollfd, 2> fds{{{p.sortie, POLLIN, 0}, {p.erreurs, POLLIN, 0}}};
    std::array<std::string*, 2> textes{&e.sortie, &e.erreurs};
    int ouverts = 2;
    // No time limit: a slow machine only makes the wait longer, and the test's own bound
    // ends a program that never finishes.
    while (ouverts > 0) {
        if (poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            std::array<char, 4096> tampon{};
            const ssize_t n = read(fds[i].fd, tampon.data(), tampon.size());
            if (n > 0) {
                textes[i]->append(tampon.data(), static_cast<std::size_t>(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
                --ouverts;
            }
        }
    }
    int statut = 0;
    waitpid(p.pid, &statut, 0);
    e.statut = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
    return e;
}

// A whole run; standard input empty unless a file is given.
inline Execution lancer(const std::vector<std::string>& arguments,
                        const std::string& entree = "/dev/null",
                        const std::vector<std::string>& avant = {}) {
    return terminer(demarrer(arguments, entree, avant));
}

inline std::string lire(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// A description's text with the keys given replaced (values in UTF-8, written as the
// program writes them: Windows-1252, CR LF); the other lines kept byte for byte.
inline std::string description_modifiee(const std::string& modele,
                                        const std::map<std::string, std::string>& cles) {
    std::istringstream lignes(modele);
    std::string texte, ligne;
    std::map<std::string, std::string> restantes = cles;
    while (std::getline(lignes, ligne)) {
        const std::string cle = ligne.substr(0, ligne.find('='));
        const auto it = cles.find(cle);
        texte += (it == cles.end() ? ligne : cle + "= " + fr(it->second) + "\r") + "\n";
        restantes.erase(cle);
    }
    // A key the model lacks (one added since it was written) goes at the end.
    for (const auto& [cle, valeur] : restantes) texte += cle + "= " + fr(valeur) + "\r\n";
    return texte;
}

}  // namespace tarvo::essai_lot
