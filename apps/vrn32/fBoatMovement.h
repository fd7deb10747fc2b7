#pragma once

// "Boat course & speed": the boat's true course and speed that LOP transport, the Coriolis
// correction and the equal-altitudes passage use (BoatCourseAndSpeed). The course is typed or set
// by dragging in the direction picture, where the boat glyph points along it.

#include "sky/MiniBoat.h"

#include <QDialog>
#include <QWidget>
#include <optional>

class QSpinBox;

namespace vrn {

class TNumEdit;

// The 66 × 66 picture: a red cross through the centre and the boat, 55 pixels long, on the course.
class TBoatDirectionIndicator : public QWidget
{
    Q_OBJECT

public:
    explicit TBoatDirectionIndicator(QWidget *parent = nullptr);

    void SetCourse(double courseDeg);

    double Course() const { return FBoat.Course; }

    QSize sizeHint() const override { return {66, 66}; }

    // The course a pointer at (x, y) asks for, picture size w × h: the bearing of the point from
    // the centre, whole degrees 1..360 (straight up is 360); nothing at the very centre.
    static std::optional<int> CourseAt(int x, int y, int w, int h);

signals:
    // The user dragged the pointer to a new course.
    void CourseDragged(int courseDeg);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void Follow(const QPoint &pos);

    TMiniBoat FBoat;
};

class TFormBoatMovement : public QDialog
{
    Q_OBJECT

public:
    // Restores the stored course, speed and position, then fills BoatCourseAndSpeed.
    explicit TFormBoatMovement(QWidget *parent = nullptr);
    ~TFormBoatMovement() override;

    int GetBoatCourse() const;
    void SetBoatCourse(int courseDeg);
    double GetBoatSpeed() const;
    void SetBoatSpeed(double speedKn);

    void EdBoatCourseChange();
    void EdBoatSpeedChange();

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void done(int result) override;

private:
    void LoadSettings();
    void SaveSettings();

    QSpinBox *FEdBoatCourse = nullptr;
    TNumEdit *FEdBoatSpeed = nullptr;
    TBoatDirectionIndicator *FImgBoatDirectionIndicator = nullptr;
};

} // namespace vrn
