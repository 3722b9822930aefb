#pragma once

namespace platform {

// One door to the desktop: the real implementation unless a test installed
// another in its place. The real one is made on first use.
template <typename Interface, typename Real> class Door {
public:
    Interface& get() {
        if (m_installed)
            return *m_installed;
        static Real real;
        return real;
    }
    // Installs a door (nullptr restores the real one). The caller keeps ownership.
    void install(Interface* door) { m_installed = door; }

private:
    Interface* m_installed = nullptr;
};

} // namespace platform
