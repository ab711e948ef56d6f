#include "platform/LibraryLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace tracebay::platform {

LibraryLoader::LibraryLoader(std::string name, std::vector<std::string> folders, int version,
                             std::vector<std::string> required)
    : name_(std::move(name)),
      folders_(std::move(folders)),
      version_(version),
      required_(std::move(required)) {}

LibraryLoader::~LibraryLoader() = default;

std::string LibraryLoader::fileName() const {
#ifdef Q_OS_WIN
    return name_ + ".dll";
#else
    return "lib" + name_ + ".so" + (version_ == AnyVersion ? "" : "." + std::to_string(version_));
#endif
}

bool LibraryLoader::loadFile(const std::string& path) {
    auto library = std::make_unique<QLibrary>(QString::fromStdString(path));
    if (!library->load()) {
        if (failure_.empty()) failure_ = library->errorString().toStdString();
        return false;
    }
    if (const std::string missing = missingFunction(*library); !missing.empty()) {
        if (failure_.empty()) failure_ = "Cannot use library " + path + ": it has no " + missing;
        library->unload();
        return false;
    }
    library_ = std::move(library);
    failure_.clear();
    return true;
}

std::string LibraryLoader::missingFunction(QLibrary& library) const {
    for (const auto& function : required_)
        if (!library.resolve(function.c_str())) return function;
    return {};
}

// A copy in one of the folders that is there but does not load says more about the failure than
// the system's search that comes after it.
bool LibraryLoader::load() {
    if (library_ && library_->isLoaded()) return true;
    failure_.clear();
    const QString file = QString::fromStdString(fileName());
    for (const auto& folder : folders_) {
        const QString path = QDir(QString::fromStdString(folder)).filePath(file);
        if (QFileInfo::exists(path) && loadFile(path.toStdString())) return true;
    }
    return loadFile(fileName());
}

void* LibraryLoader::resolve(const char* symbol) {
    if (!load()) return nullptr;
    return reinterpret_cast<void*>(library_->resolve(symbol));
}

std::vector<std::string> LibraryLoader::programFolders() {
    std::vector<std::string> folders;
#ifndef Q_OS_WIN
    for (const QString& folder :
         qEnvironmentVariable("LD_LIBRARY_PATH").split(':', Qt::SkipEmptyParts))
        folders.push_back(folder.toStdString());
#endif
    if (!QCoreApplication::instance()) return folders;
    const QDir dir(QCoreApplication::applicationDirPath());
    for (const QString& folder :
         {QString("."), QString("../lib"), QString("../" TRACEBAY_INSTALL_LIBDIR)})
        folders.push_back(QDir::cleanPath(dir.filePath(folder)).toStdString());
    return folders;
}

}  // namespace tracebay::platform
