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
</xsl:stylesheet>
