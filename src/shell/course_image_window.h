// The course image window ("visningar" › "definitioner" › "banor"): the description sheet of one
// course as a picture in a scrollable window, with the offer to save it when the window closes.
#pragma once

#include <QDialog>
#include <QImage>

#include "competition/records/class_rec.h"
#include "competition/records/definition_recs.h"
#include "printing/reports/report_picks.h"

class QLabel;
class QScrollArea;

namespace olbrax {

class TbanImgForm : public QDialog {
  Q_OBJECT
 public:
  // Draws the sheet of a copy of `course`; the caption names the class of `klass`.
  TbanImgForm(QWidget* owner, const TTrackRec& course, const TKlassRec& klass);

  const QImage& img() const { return img_; }

 protected:
  // Closing offers the save dialog "spara bana"; the window closes whatever the user answers.
  void done(int result) override;

 private:
  TTrackRec course_;
  TKlassRec klass_;
  QImage img_;
  QScrollArea* scroll_;
  QLabel* picture_;
  bool save_offered_ = false;
};

// Asks for a file name with the save dialog and writes the picture in the format the name asks
// for; a failure is shown in a notice box. False when nothing was saved.
bool SaveCourseImage(QWidget* owner, const QImage& image, const TTrackRec& course);

// Shows the sheet of `course` modally (ShowCourseImage).
void ShowCourseImage(QWidget* owner, const TTrackRec& course, const TKlassRec& klass);
// The menu action: the course pick list "Välj bana" for one course, then its sheet with the
// current class (ShowCourseImages). Needs the definition set open.
void ShowCourseImages(QWidget* owner, const print::Picker& pick);

}  // namespace olbrax
