#pragma once

#include <QByteArray>
#include <QVector>
#include <cstdint>

// Builds ".wkfw" firmware images for tests and for the embedded sample images.
class ImageBuilder
{
public:
    struct Section
    {
        uint32_t tag;
        QByteArray bytes;
        bool badChecksum = false;
    };

    static constexpr uint32_t kMeta = 0x4154454D; // stored as "ATEM"

    // The metadata text of an image for these ids and version.
    static QByteArray Metadata(uint16_t vid, uint16_t pid, const QByteArray &version,
                               const QByteArray &model = "MDX7201A");
    // Deterministic filler bytes, all 256 values.
    static QByteArray Payload(int size, uint8_t seed);
    // The usual image: metadata, type 4, application, loader.
    static ImageBuilder Standard(const QByteArray &version, const QByteArray &application,
                                 uint16_t pid = 0x4004, const QByteArray &model = "MDX7201A");

    ImageBuilder &Add(Section section);
    // Lays the sections out in this order of their indices (the table keeps its order).
    ImageBuilder &LayOutAs(QVector<int> order);
    QByteArray Build() const;
    QVector<Section> &Sections() { return m_sections; }

private:
    QVector<Section> m_sections;
    QVector<int> m_layout;
};
