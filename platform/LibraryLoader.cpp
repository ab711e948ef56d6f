#include "platform/LibraryLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace tracebay::platform {

LibraryLoader::LibraryLoader(std::string name, std::vector<std::string> folders)
    : name_(std::move(name)), folders_(std::move(folders)) {}

LibraryLoader::~LibraryLoader() = default;

bool LibraryLoader::load() {
    if (library_ && library_->isLoaded()) return true;
    std::vector<QString> candidates;
    for (const auto& folder : folders_)
        candidates.push_back(
            QDir(QString::fromStdString(folder)).filePath(QString::fromStdString(name_)));
    candidates.push_back(QString::fromStdString(name_));
    for (const auto& candidate : candidates) {
        auto library = std::make_unique<QLibrary>(candidate);
        if (library->load()) {
            library_ = std::move(library);
            return true;
        }
    }
    return false;
}

void* LibraryLoader::resolve(const char* symbol) {
    if (!load()) return nullptr;
    return reinterpret_cast<void*>(library_->resolve(symbol));
}

std::vector<std::string> LibraryLoader::programFolders() {
    if (!QCoreApplication::instance()) return {};
    const QString dir = QCoreApplication::applicationDirPath();
    return {dir.toStdString(), QDir(dir).filePath("../lib").toStdString(),
            QDir(dir).filePath("../" TRACEBAY_INSTALL_LIBDIR).toStdString()};
}

}  // namespace tracebay::platform
