#pragma once
// The profile items of the tray menu, as the profile procedures see them. Item 0 is a
// hidden template; items 1..N carry the profile names in list order.

#include <QString>

#include <vector>

namespace quillmark {

class ProfileMenu {
public:
    virtual ~ProfileMenu() = default;
    virtual void removeProfileItems() = 0;                              // items 1 to the last
    virtual void addProfileItem(int index, const QString& caption) = 0; // created visible
    virtual int profileItemCount() const = 0;                           // including item 0
    virtual QString profileItemCaption(int index) const = 0;
    virtual void setProfileItemChecked(int index, bool checked) = 0;
};

// Stands in while no tray menu exists: it remembers the items so the procedures behave
// the same, and shows nothing.
class DetachedProfileMenu final : public ProfileMenu {
public:
    void removeProfileItems() override { m_captions.resize(1); }
    void addProfileItem(int index, const QString& caption) override {
        if (index >= static_cast<int>(m_captions.size()))
            m_captions.resize(static_cast<size_t>(index) + 1);
        m_captions[static_cast<size_t>(index)] = caption;
    }
    int profileItemCount() const override { return static_cast<int>(m_captions.size()); }
    QString profileItemCaption(int index) const override { return m_captions.at(static_cast<size_t>(index)); }
    void setProfileItemChecked(int, bool) override {}

private:
    std::vector<QString> m_captions{QStringLiteral("Profile")};
};

} // namespace quillmark
