<?xml version="1.0" encoding="UTF-8"?>
<!--
  Report of a determination of the methanol content of separation gas.
  Renders the report document of sepmet into a self-contained, printable HTML5 page:
  no scripts, no external resources; every text of the document is output escaped.
  Russian texts are written with "е", never "ё", as the program's own texts ("Расчет").
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes" doctype-system="about:legacy-compat"/>

  <!-- Given by the program when the report is on record in the audit trail: the event's number,
       the first 16 hexadecimal digits of the document's SHA-256, and the operator's login name. -->
  <xsl:param name="audit-seq" select="''"/>
  <xsl:param name="audit-digest" select="''"/>
  <xsl:param name="audit-user" select="''"/>
  <!-- The event before the report's own (the chain's head when the report was made): its number
       and the first 16 hexadecimal digits of its hash, to check the trail against the paper. -->
  <xsl:param name="audit-prev-seq" select="''"/>
  <xsl:param name="audit-prev-hash" select="''"/>

  <!-- Given by the program: the intermediate values of the last recalculation, a document with
       the root "details" (calibration levels, measurements, tests). Empty when not given: the
       report then prints as without it. -->
  <xsl:param name="details" select="/.."/>
  <xsl:variable name="levels" select="$details/details/calibration/level"/>
  <xsl:variable name="content" select="$details/details/content"/>

  <xsl:template match="/">
    <html lang="ru">
      <head>
        <meta http-equiv="Content-Type" content="text/html; charset=UTF-8"/>
        <meta name="viewport" content="width=device-width, initial-scale=1"/>
        <title>Метанол в газе сепарации — протокол расчета</title>
        <style>
          @page { size: A4 portrait; margin: 15mm 12mm 18mm 20mm; }
          html { background: #e8e8e8; }
          body { font-family: "DejaVu Serif", "Liberation Serif", "Times New Roman", serif;
                 font-size: 11pt; line-height: 1.35; color: #000; margin: 0; }
          .sheet { box-sizing: border-box; width: 210mm; min-height: 297mm; margin: 8mm auto;
                   padding: 15mm 12mm 18mm 20mm; background: #fff;
                   box-shadow: 0 0 4mm rgba(0, 0, 0, 0.25); }
          h1 { font-size: 14pt; text-align: center; margin: 0 0 2mm; }
          .method { text-align: center; margin: 0 0 6mm; }
          h2 { font-size: 12pt; margin: 6mm 0 2mm; page-break-after: avoid; break-after: avoid; }
          table { width: 100%; border-collapse: collapse; margin: 0 0 2mm; }
          th, td { border: 0.3mm solid #000; padding: 1mm 1.5mm; vertical-align: top;
                   text-align: left; }
          th { background: #f0f0f0; font-weight: bold; }
          thead { display: table-header-group; }
          tr { page-break-inside: avoid; break-inside: avoid; }
          td.num, th.num { text-align: right; }
          td.num { white-space: nowrap; }
          td.nowrap { white-space: nowrap; }
          td.empty { text-align: center; font-style: italic; }
          .conditions td.value { text-align: right; white-space: nowrap; width: 25mm; }
          .conditions td.unit { white-space: nowrap; width: 20mm; }
          .messages { margin: 0; padding: 0; list-style: none; }
          .messages li { white-space: pre-wrap; }
          .messages li.heading { font-weight: bold; margin-top: 1mm; }
          .signature { margin-top: 12mm; page-break-inside: avoid; break-inside: avoid; }
          .signature table, .signature td { border: none; padding: 0 1.5mm 0 0; }
          .signature .line { border-bottom: 0.3mm solid #000; width: 45mm; }
          .signature .caption td { font-size: 8pt; text-align: center; padding-top: 0.5mm; }
          .footer { margin-top: 8mm; font-size: 9pt; color: #333; }
          h3 { font-size: 11pt; margin: 3mm 0 1.5mm; page-break-after: avoid; break-after: avoid; }
          table.files { font-size: 10pt; }
          table.levels, table.measurements { font-size: 9.5pt; }
          table.levels th, table.levels td, table.measurements th, table.measurements td {
            padding: 0.6mm 1.2mm; }
          tr.failed td { color: #b00000; }
          td.mark { text-align: center; white-space: nowrap; }
          .plot { display: block; width: 150mm; height: 75mm; margin: 1mm auto 2mm;
                  page-break-inside: avoid; break-inside: avoid; }
          .tests { margin: 1mm 0 0; padding: 0; list-style: none; }
          .tests li.failed { color: #b00000; }
          @media print {
            html { background: none; }
            .sheet { width: auto; min-height: 0; margin: 0; padding: 0; box-shadow: none; }
          }
        </style>
      </head>
      <body>
        <div class="sheet">
          <xsl:apply-templates select="root"/>
        </div>
      </body>
    </html>
  </xsl:template>

  <xsl:template match="root">
    <h1>Протокол определения массовой концентрации метанола в газе сепарации</h1>
    <p class="method">Расчет производится согласно СТО Газпром 5.36-2011 п.13</p>

    <h2>1. Условия измерений</h2>
    <table class="conditions">
      <thead>
        <tr><th>Величина</th><th class="num">Значение</th><th>Единица</th></tr>
      </thead>
      <tbody>
        <xsl:call-template name="condition">
          <xsl:with-param name="name">Общий объем воды в двух поглотительных склянках, V<sub>в</sub></xsl:with-param>
          <xsl:with-param name="value" select="@vW"/>
          <xsl:with-param name="unit">см³</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="condition">
          <xsl:with-param name="name">Объем пробы газа по газовому счетчику, V<sub>г</sub></xsl:with-param>
          <xsl:with-param name="value" select="@vG"/>
          <xsl:with-param name="unit">дм³</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="condition">
          <xsl:with-param name="name">Плотность газа сепарации по ГОСТ 31369, ρ<sub>г</sub></xsl:with-param>
          <xsl:with-param name="value" select="@rhoG"/>
          <xsl:with-param name="unit">г/дм³</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="condition">
          <xsl:with-param name="name">Атмосферное давление, P</xsl:with-param>
          <xsl:with-param name="value" select="@atmP"/>
          <xsl:with-param name="unit">кПа</xsl:with-param>
        </xsl:call-template>
        <xsl:call-template name="condition">
          <xsl:with-param name="name">Температура газа в газовом счетчике, t</xsl:with-param>
          <xsl:with-param name="value" select="@gasT"/>
          <xsl:with-param name="unit">°C</xsl:with-param>
        </xsl:call-template>
      </tbody>
    </table>

    <h2>2. Хроматограммы</h2>
    <table class="files">
      <thead>
        <tr>
          <th class="num">№</th><th>Имя файла</th><th>Смесь</th><th>Дата и время</th>
          <th>Проба</th><th>Тип хроматограммы</th>
        </tr>
      </thead>
      <tbody>
        <xsl:for-each select="files/row">
          <tr>
            <td class="num"><xsl:value-of select="@number"/></td>
            <td><xsl:value-of select="@fileName"/></td>
            <td><xsl:value-of select="@MixtureName"/></td>
            <td class="nowrap"><xsl:value-of select="@date"/></td>
            <td><xsl:value-of select="@sample"/></td>
            <td><xsl:value-of select="@type"/></td>
          </tr>
        </xsl:for-each>
        <xsl:if test="not(files/row)">
          <tr><td class="empty" colspan="6">Хроматограммы не выбраны</td></tr>
        </xsl:if>
      </tbody>
    </table>

    <h2>3. Градуировка</h2>
    <table class="calibration">
      <thead>
        <tr><th class="num">№</th><th>Компонент</th><th class="num">Градуировочный коэффициент K<sub>ср</sub></th></tr>
      </thead>
      <tbody>
        <xsl:for-each select="calibration/row">
          <tr>
            <td class="num"><xsl:value-of select="@number"/></td>
            <td><xsl:value-of select="@comp"/></td>
            <td class="num"><xsl:value-of select="@k_avg"/></td>
          </tr>
        </xsl:for-each>
        <xsl:if test="not(calibration/row)">
          <tr><td class="empty" colspan="3">Градуировочный коэффициент не получен. Причины указаны в разделе «Системные сообщения».</td></tr>
        </xsl:if>
      </tbody>
    </table>
    <xsl:if test="$levels">
      <xsl:call-template name="calibration-levels"/>
      <xsl:call-template name="calibration-plot"/>
    </xsl:if>

    <h2>4. Результат</h2>
    <table class="result">
      <thead>
        <tr>
          <th class="num">№</th><th>Компонент</th>
          <th class="num">Массовая концентрация ± неопределенность, мг/дм³</th>
          <th class="num">Массовая доля, %</th><th class="num">Молярная доля, %</th>
        </tr>
      </thead>
      <tbody>
        <xsl:for-each select="calculation/row">
          <tr>
            <td class="num"><xsl:value-of select="@number"/></td>
            <td><xsl:value-of select="@comp"/></td>
            <td class="num"><xsl:value-of select="@y_avg"/></td>
            <td class="num"><xsl:value-of select="@X"/></td>
            <td class="num"><xsl:value-of select="@C"/></td>
          </tr>
        </xsl:for-each>
        <xsl:if test="not(calculation/row)">
          <tr><td class="empty" colspan="5">Результат не получен. Причины указаны в разделе «Системные сообщения».</td></tr>
        </xsl:if>
      </tbody>
    </table>
    <xsl:if test="$content">
      <xsl:call-template name="measurements"/>
    </xsl:if>

    <h2>5. Системные сообщения</h2>
    <ul class="messages">
      <xsl:for-each select="messages/row">
        <li>
          <xsl:if test="not(starts-with(@msg_str, ' '))">
            <xsl:attribute name="class">heading</xsl:attribute>
          </xsl:if>
          <xsl:value-of select="@msg_str"/>
        </li>
      </xsl:for-each>
    </ul>

    <div class="signature">
      <table>
        <tr>
          <td>Расчет выполнил:</td>
          <td class="line"></td>
          <td>
            <xsl:value-of select="signed/operator"/>
            <xsl:if test="$audit-user != ''">
              <xsl:text> (</xsl:text><xsl:value-of select="$audit-user"/><xsl:text>)</xsl:text>
            </xsl:if>
          </td>
          <td>Дата:</td>
          <td class="line"></td>
        </tr>
        <tr class="caption">
          <td></td><td>подпись</td><td></td><td></td><td></td>
        </tr>
      </table>
    </div>

    <p class="footer">
      Отчет создан: <xsl:value-of select="@date_created"/>.
      Версия программы: <xsl:value-of select="normalize-space(@prog_version)"/>.
    <xsl:if test="$audit-seq != ''">
        <br/>
        <span class="audit">
          <xsl:text>Запись журнала № </xsl:text><xsl:value-of select="$audit-seq"/>
          <xsl:text>, контрольная сумма </xsl:text><xsl:value-of select="$audit-digest"/>
          <xsl:if test="$audit-prev-seq != ''">
            <xsl:text>; предыдущая запись № </xsl:text><xsl:value-of select="$audit-prev-seq"/>
            <xsl:text>, хеш </xsl:text><xsl:value-of select="$audit-prev-hash"/>
          </xsl:if>
        </span>
      </xsl:if>
    </p>
  </xsl:template>

  <xsl:template name="condition">
    <xsl:param name="name"/>
    <xsl:param name="value"/>
    <xsl:param name="unit"/>
    <tr>
      <td><xsl:copy-of select="$name"/></td>
      <td class="value"><xsl:value-of select="$value"/></td>
      <td class="unit"><xsl:value-of select="$unit"/></td>
    </tr>
  </xsl:template>
  <!-- The calibration levels: the areas of each nominal concentration, the coefficients
       K1 = c/S1 and K2 = c/S2, their mean K and the deviations d1 and d2 from it. -->
  <xsl:template name="calibration-levels">
    <h3>Градуировочные уровни</h3>
    <table class="levels">
      <thead>
        <tr>
          <th class="num">c, мг/дм³</th><th class="num">S<sub>1</sub></th><th class="num">S<sub>2</sub></th>
          <th class="num">K<sub>1</sub></th><th class="num">K<sub>2</sub></th><th class="num">K</th>
          <th class="num">d<sub>1</sub>, %</th><th class="num">d<sub>2</sub>, %</th><th>Итог</th>
        </tr>
      </thead>
      <tbody>
        <xsl:for-each select="$levels">
          <tr>
            <xsl:if test="@outcome != 'passed' and @outcome != 'notTested'">
              <xsl:attribute name="class">failed</xsl:attribute>
            </xsl:if>
            <td class="num"><xsl:value-of select="@c"/></td>
            <td class="num"><xsl:value-of select="area[1]/@S"/></td>
            <td class="num">
              <xsl:for-each select="area[position() &gt; 1]">
                <xsl:if test="position() &gt; 1"><xsl:text>; </xsl:text></xsl:if>
                <xsl:value-of select="@S"/>
              </xsl:for-each>
            </td>
            <td class="num"><xsl:value-of select="@K1"/></td>
            <td class="num"><xsl:value-of select="@K2"/></td>
            <td class="num"><xsl:value-of select="@K"/></td>
            <td class="num"><xsl:value-of select="@d1"/></td>
            <td class="num"><xsl:value-of select="@d2"/></td>
            <td class="mark">
              <xsl:choose>
                <xsl:when test="@outcome = 'passed'">✓</xsl:when>
                <xsl:when test="@outcome = 'deviation'">✗ d &gt; 5 %</xsl:when>
                <xsl:when test="@outcome = 'notTwoAreas'">✗ не 2 площади</xsl:when>
                <xsl:when test="@outcome = 'missing'">✗ нет площадей</xsl:when>
                <xsl:otherwise>не проверен</xsl:otherwise>
              </xsl:choose>
            </td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table>
  </xsl:template>

  <!-- The calibration plot: the methanol area against the nominal concentration, each area a
       circle (red for a level that failed), the line S = c / K_ср when the coefficient was
       obtained. Scales run from 0 to a rounded maximum with four or five ticks. -->
  <xsl:template name="calibration-plot">
    <xsl:variable name="k" select="$details/details/calibration/@value"/>
    <xsl:variable name="max-c">
      <xsl:for-each select="$levels">
        <xsl:sort select="@value" data-type="number" order="descending"/>
        <xsl:if test="position() = 1"><xsl:value-of select="@value"/></xsl:if>
      </xsl:for-each>
    </xsl:variable>
    <xsl:variable name="max-area">
      <xsl:for-each select="$levels/area">
        <xsl:sort select="@value" data-type="number" order="descending"/>
        <xsl:if test="position() = 1"><xsl:value-of select="@value"/></xsl:if>
      </xsl:for-each>
    </xsl:variable>
    <xsl:variable name="max-s">
      <xsl:choose>
        <xsl:when test="$k &gt; 0 and $max-c div $k &gt; number($max-area)">
          <xsl:value-of select="$max-c div $k"/>
        </xsl:when>
        <xsl:when test="number($max-area) &gt; 0"><xsl:value-of select="$max-area"/></xsl:when>
        <xsl:otherwise>1</xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <xsl:variable name="step-c">
      <xsl:call-template name="tick-step"><xsl:with-param name="max" select="$max-c"/></xsl:call-template>
    </xsl:variable>
    <xsl:variable name="step-s">
      <xsl:call-template name="tick-step"><xsl:with-param name="max" select="$max-s"/></xsl:call-template>
    </xsl:variable>
    <xsl:variable name="top-c" select="ceiling($max-c div $step-c) * $step-c"/>
    <xsl:variable name="top-s" select="ceiling($max-s div $step-s) * $step-s"/>
    <!-- Plot area in user units: x from 70 to 580, y from 270 (0) up to 20. -->
    <xsl:variable name="sx" select="510 div $top-c"/>
    <xsl:variable name="sy" select="250 div $top-s"/>
    <svg xmlns="http://www.w3.org/2000/svg" class="plot" viewBox="0 0 600 310"
         role="img" aria-label="Градуировочный график">
      <g font-family="DejaVu Sans, sans-serif" font-size="11" fill="#000">
        <xsl:call-template name="x-ticks">
          <xsl:with-param name="value" select="0"/>
          <xsl:with-param name="step" select="$step-c"/>
          <xsl:with-param name="top" select="$top-c"/>
          <xsl:with-param name="scale" select="$sx"/>
        </xsl:call-template>
        <xsl:call-template name="y-ticks">
          <xsl:with-param name="value" select="0"/>
          <xsl:with-param name="step" select="$step-s"/>
          <xsl:with-param name="top" select="$top-s"/>
          <xsl:with-param name="scale" select="$sy"/>
        </xsl:call-template>
        <line x1="70" y1="270" x2="580" y2="270" stroke="#000" stroke-width="1"/>
        <line x1="70" y1="270" x2="70" y2="20" stroke="#000" stroke-width="1"/>
        <text x="325" y="302" text-anchor="middle">Концентрация метанола c, мг/дм³</text>
        <text x="14" y="145" text-anchor="middle" transform="rotate(-90 14 145)">Площадь пика S</text>
        <xsl:if test="$k &gt; 0">
          <line x1="70" y1="270" stroke="#1f5fa8" stroke-width="1.5" x2="{70 + $max-c * $sx}" y2="{270 - $max-c div $k * $sy}"/>
          <text x="{70 + $max-c * $sx - 6}" y="{270 - $max-c div $k * $sy + 18}" text-anchor="end" fill="#1f5fa8">
            <xsl:text>S = c / K, K = </xsl:text><xsl:value-of select="$details/details/calibration/@k_avg"/>
          </text>
        </xsl:if>
        <xsl:for-each select="$levels/area">
          <xsl:variable name="failed" select="../@outcome != 'passed' and ../@outcome != 'notTested'"/>
          <circle r="4" cx="{70 + ../@value * $sx}" cy="{270 - @value * $sy}" fill-opacity="0.35" stroke-width="1.2">
            <xsl:attribute name="fill"><xsl:choose><xsl:when test="$failed">#c00000</xsl:when><xsl:otherwise>#1f5fa8</xsl:otherwise></xsl:choose></xsl:attribute>
            <xsl:attribute name="stroke"><xsl:choose><xsl:when test="$failed">#c00000</xsl:when><xsl:otherwise>#1f5fa8</xsl:otherwise></xsl:choose></xsl:attribute>
          </circle>
        </xsl:for-each>
        <xsl:if test="$levels[@outcome != 'passed' and @outcome != 'notTested']/area">
          <circle cx="90" cy="32" r="4" fill="#c00000" fill-opacity="0.35" stroke="#c00000"/>
          <text x="100" y="36" fill="#c00000">уровень не прошел проверку</text>
        </xsl:if>
      </g>
    </svg>
  </xsl:template>

  <!-- A tick step for a scale from 0 to max: 1, 2 or 5 times a power of ten, giving four to ten
       ticks. -->
  <xsl:template name="tick-step">
    <xsl:param name="max"/>
    <xsl:param name="power" select="1"/>
    <xsl:choose>
      <xsl:when test="not($max &gt; 0)">1</xsl:when>
      <xsl:when test="$max div $power &gt; 50">
        <xsl:call-template name="tick-step">
          <xsl:with-param name="max" select="$max"/>
          <xsl:with-param name="power" select="$power * 10"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:when test="$max div $power &lt;= 5">
        <xsl:call-template name="tick-step">
          <xsl:with-param name="max" select="$max"/>
          <xsl:with-param name="power" select="$power div 10"/>
        </xsl:call-template>
      </xsl:when>
      <xsl:when test="$max div $power &lt;= 10"><xsl:value-of select="$power * 2"/></xsl:when>
      <xsl:when test="$max div $power &lt;= 25"><xsl:value-of select="$power * 5"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="$power * 10"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="x-ticks">
    <xsl:param name="value"/>
    <xsl:param name="step"/>
    <xsl:param name="top"/>
    <xsl:param name="scale"/>
    <xsl:if test="$value &lt;= $top + $step div 1000">
      <line x1="{70 + $value * $scale}" y1="270" x2="{70 + $value * $scale}" y2="275" stroke="#000"/>
      <line x1="{70 + $value * $scale}" y1="270" x2="{70 + $value * $scale}" y2="20" stroke="#ddd" stroke-width="0.5"/>
      <text x="{70 + $value * $scale}" y="287" text-anchor="middle">
        <xsl:value-of select="translate(format-number($value, '0.####'), '.', ',')"/>
      </text>
      <xsl:call-template name="x-ticks">
        <xsl:with-param name="value" select="$value + $step"/>
        <xsl:with-param name="step" select="$step"/>
        <xsl:with-param name="top" select="$top"/>
        <xsl:with-param name="scale" select="$scale"/>
      </xsl:call-template>
    </xsl:if>
  </xsl:template>

  <xsl:template name="y-ticks">
    <xsl:param name="value"/>
    <xsl:param name="step"/>
    <xsl:param name="top"/>
    <xsl:param name="scale"/>
    <xsl:if test="$value &lt;= $top + $step div 1000">
      <line x1="65" y1="{270 - $value * $scale}" x2="70" y2="{270 - $value * $scale}" stroke="#000"/>
      <line x1="70" y1="{270 - $value * $scale}" x2="580" y2="{270 - $value * $scale}" stroke="#ddd" stroke-width="0.5"/>
      <text x="62" y="{274 - $value * $scale}" text-anchor="end">
        <xsl:value-of select="translate(format-number($value, '0.####'), '.', ',')"/>
      </text>
      <xsl:call-template name="y-ticks">
        <xsl:with-param name="value" select="$value + $step"/>
        <xsl:with-param name="step" select="$step"/>
        <xsl:with-param name="top" select="$top"/>
        <xsl:with-param name="scale" select="$scale"/>
      </xsl:call-template>
    </xsl:if>
  </xsl:template>

  <!-- The measurements: the area S of each absorption chromatogram, X = K_ср × S in the solution
       and Y in the gas; the reduced gas volume; each test with its figure and limit; δ. -->
  <xsl:template name="measurements">
    <h3>Измерения</h3>
    <table class="measurements">
      <thead>
        <tr>
          <th class="num">№</th><th>Хроматограмма</th><th class="num">S</th>
          <th class="num">X (в растворе), мг/дм³</th><th class="num">Y (в газе), мг/дм³</th>
        </tr>
      </thead>
      <tbody>
        <xsl:for-each select="$content/measurement">
          <tr>
            <td class="num"><xsl:value-of select="@number"/></td>
            <td><xsl:value-of select="@fileName"/></td>
            <td class="num"><xsl:value-of select="@S"/></td>
            <td class="num"><xsl:value-of select="@X"/></td>
            <td class="num"><xsl:value-of select="@Y"/></td>
          </tr>
        </xsl:for-each>
        <xsl:if test="not($content/measurement)">
          <tr><td class="empty" colspan="5">Площади пиков метанола не найдены</td></tr>
        </xsl:if>
      </tbody>
    </table>
    <ul class="tests">
      <xsl:if test="$content/@reducedVolume">
        <li>Объем газа, приведенный к 20 °C и 101,325 кПа: V<sub>0</sub> = <xsl:value-of select="$content/@reducedVolume"/> дм³</li>
      </xsl:if>
      <xsl:for-each select="$content/test">
        <li>
          <xsl:if test="@passed = '0'"><xsl:attribute name="class">failed</xsl:attribute></xsl:if>
          <xsl:choose>
            <xsl:when test="@kind = 'repeatability'">Повторяемость: D = </xsl:when>
            <xsl:otherwise>Критический диапазон: D = </xsl:otherwise>
          </xsl:choose>
          <xsl:value-of select="@D"/>
          <xsl:text> % </xsl:text>
          <xsl:choose>
            <xsl:when test="@passed = '1'">≤</xsl:when>
            <xsl:otherwise>&gt;</xsl:otherwise>
          </xsl:choose>
          <xsl:choose>
            <xsl:when test="@kind = 'repeatability'"> r = </xsl:when>
            <xsl:otherwise> CR = 3,3 σ = </xsl:otherwise>
          </xsl:choose>
          <xsl:value-of select="@limit"/>
          <xsl:text> % (для </xsl:text>
          <xsl:value-of select="@y"/>
          <xsl:text> мг/дм³, </xsl:text>
          <xsl:call-template name="bracket"><xsl:with-param name="name" select="@bracket"/></xsl:call-template>
          <xsl:text>)</xsl:text>
        </li>
      </xsl:for-each>
      <xsl:if test="$content/@delta">
        <li>
          <xsl:text>Относительная неопределенность: δ = </xsl:text>
          <xsl:value-of select="$content/@delta"/>
          <xsl:text> % (для </xsl:text>
          <xsl:value-of select="$content/@y"/>
          <xsl:text> мг/дм³, </xsl:text>
          <xsl:call-template name="bracket"><xsl:with-param name="name" select="$content/@bracket"/></xsl:call-template>
          <xsl:text>)</xsl:text>
        </li>
      </xsl:if>
    </ul>
  </xsl:template>

  <xsl:template name="bracket">
    <xsl:param name="name"/>
    <xsl:choose>
      <xsl:when test="$name = 'lower'">диапазон 0,01–0,1 мг/дм³</xsl:when>
      <xsl:when test="$name = 'upper'">диапазон св. 0,1 до 0,5 мг/дм³</xsl:when>
      <xsl:otherwise>вне диапазона 0,01–0,5 мг/дм³</xsl:otherwise>
    </xsl:choose>
  </xsl:template>
</xsl:stylesheet>
